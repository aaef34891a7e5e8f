#pragma once
// A fresh program for one test case: every shared variable back at its start value, the
// program directory (AppDir) in a new temporary folder, and the dialog recorder installed.
//
//   void init()    { Fixture.emplace(); }
//   void cleanup() { TARVIK_FINISH_FIXTURE(Fixture); }

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "DialogRecorder.h"

class TProgramFixture {
public:
    TProgramFixture();
    ~TProgramFixture();
    TProgramFixture(const TProgramFixture&) = delete;
    TProgramFixture& operator=(const TProgramFixture&) = delete;

    // The temporary program directory, with a trailing "/".
    QString Dir() const;
    QString Path(const QString& name) const { return Dir() + name; }

    // Whole-file helpers for fixtures and checks (bytes exactly as on disk).
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& name) const;

    TDialogRecorder Dialogs;

private:
    QTemporaryDir Temp;
};

// Ends the fixture and fails the test when a dialog was left unchecked.
#define TARVIK_FINISH_FIXTURE(fixture)                                   \
    do {                                                                 \
        const QString problems_ = (fixture) ? (fixture)->Dialogs.Problems() : QString(); \
        (fixture).reset();                                               \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_));            \
    } while (false)
