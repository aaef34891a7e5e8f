#include <QApplication>
#include <QTest>
#include <cstring>
#include <memory>

#include "TestRegistry.h"

std::vector<TRegisteredTest>& RegisteredTests()
{
    static std::vector<TRegisteredTest> tests;
    return tests;
}

int main(int argc, char** argv)
{
    // Widgets and event loops need an application object; the tests never need a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // An optional first argument names the one class to run; the rest goes to QtTest.
    const char* only = nullptr;
    if (argc > 1 && argv[1][0] != '-') {
        only = argv[1];
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    int failures = 0;
    bool ran = false;
    for (const TRegisteredTest& test : RegisteredTests()) {
        if (only && std::strcmp(only, test.Name) != 0)
            continue;
        ran = true;
        std::unique_ptr<QObject> object(test.Create());
        failures += QTest::qExec(object.get(), argc, argv);
    }
    if (!ran) {
        qWarning("no test class named %s", only ? only : "(any)");
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
