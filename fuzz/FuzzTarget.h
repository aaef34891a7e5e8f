#pragma once
// One fuzz target per file in this folder. A target is a function of the bytes of one input:
//
//   TARVIK_FUZZ_TARGET(frame) { ... data, size ... }
//   TARVIK_FUZZ_RELEASE(frame) { ... }   // optional: what the target keeps between inputs
//
// Built with libFuzzer (the TARVIK_FUZZ build, TARVIK_LIBFUZZER defined), the target is the
// executable's LLVMFuzzerTestOneInput. Built into the test suite, it is registered by name so
// the replay test can run the kept inputs through exactly the same code.
//
// FUZZ_CHECK(condition, what) states what must hold after an input; `what` (a QString) is
// built only when it fails. A violation aborts under libFuzzer (which keeps the input) and
// throws TFuzzFailure in the test suite (which fails the test).

#include <QString>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

using TFuzzEntry = void (*)(const uint8_t* data, size_t size);
using TFuzzRelease = void (*)();

struct TFuzzTargetInfo {
    const char* Name;
    TFuzzEntry Run;
    TFuzzRelease Release;  // may be null
};

// The targets compiled into this program (the test suite has all of them).
std::vector<TFuzzTargetInfo>& FuzzTargets();

struct TFuzzFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void FuzzFail(const QString& what);
#define FUZZ_CHECK(condition, what) \
    do {                            \
        if (!(condition))           \
            FuzzFail(what);         \
    } while (false)

// The application object the windows and event loops need, made on first use (offscreen).
void EnsureFuzzApplication();

// The bytes of an input as the program sees received or stored text: one character per byte.
inline QString FuzzLatin1(const uint8_t* data, size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

struct TFuzzRegistration {
    TFuzzRegistration(const char* name, TFuzzEntry run);
};
struct TFuzzReleaseRegistration {
    TFuzzReleaseRegistration(const char* name, TFuzzRelease release);
};

#if defined(TARVIK_LIBFUZZER)
#define TARVIK_FUZZ_TARGET(Name)                                                       \
    static void Name##FuzzOne(const uint8_t* data, size_t size);                       \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)            \
    {                                                                                  \
        Name##FuzzOne(data, size);                                                     \
        return 0;                                                                      \
    }                                                                                  \
    static void Name##FuzzOne(const uint8_t* data, size_t size)
#else
#define TARVIK_FUZZ_TARGET(Name)                                                       \
    static void Name##FuzzOne(const uint8_t* data, size_t size);                       \
    static const TFuzzRegistration Name##FuzzRegistration(#Name, Name##FuzzOne);       \
    static void Name##FuzzOne(const uint8_t* data, size_t size)
#endif

#define TARVIK_FUZZ_RELEASE(Name)                                                      \
    static void Name##FuzzRelease();                                                   \
    static const TFuzzReleaseRegistration Name##FuzzReleaseRegistration(#Name, Name##FuzzRelease); \
    static void Name##FuzzRelease()
