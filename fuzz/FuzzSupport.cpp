#include "FuzzTarget.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::vector<TFuzzTargetInfo>& FuzzTargets()
{
    static std::vector<TFuzzTargetInfo> targets;
    return targets;
}

namespace {
TFuzzTargetInfo& Target(const char* name)
{
    for (TFuzzTargetInfo& target : FuzzTargets())
        if (std::strcmp(target.Name, name) == 0)
            return target;
    FuzzTargets().push_back({name, nullptr, nullptr});
    return FuzzTargets().back();
}
} // namespace

TFuzzRegistration::TFuzzRegistration(const char* name, TFuzzEntry run) { Target(name).Run = run; }

TFuzzReleaseRegistration::TFuzzReleaseRegistration(const char* name, TFuzzRelease release)
{
    Target(name).Release = release;
}

void FuzzFail(const QString& what)
{
#if defined(TARVIK_LIBFUZZER)
    std::fprintf(stderr, "fuzz check failed: %s\n", qPrintable(what));
    std::abort();
#else
    throw TFuzzFailure(what.toStdString());
#endif
}

void EnsureFuzzApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tarvik-fuzz";
    static char* argv[] = {name, nullptr};
    // Lives as long as the process: the fuzzer ends by exit().
    new QApplication(argc, argv);
}
