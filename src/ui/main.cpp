// Tarvik ATE Control: the program entry. Creates the main window, whose creation prepares the
// program, and runs the event loop until the window closes.

#include <QApplication>

#include "ui/Fonts.h"
#include "ui/MainForm.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterTahoma();
    TMForm form;
    form.show();
    return app.exec();
}
