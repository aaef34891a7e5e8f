// Tarvik ATE Control: the program entry.

#include <QApplication>
#include <QTextStream>

#include "core/Definitions.h"
#include "core/ProgramState.h"
#include "core/Startup.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ResetProgramState();
    VersionString = ProgramVersionString();
    AppDir = ProgramDirectory();
    BuildDeviceErrorTable();
    QTextStream(stdout) << "Tarvik ATE Control " << VersionString << ", program directory " << AppDir << Qt::endl;
    return 0;
}
