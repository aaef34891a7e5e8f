#pragma once
// A fresh program with its main window for one test case: the program fixture (temporary
// program directory, dialog recorder) plus a TMForm created the way the program creates it.
// settings.ini can be written into the directory before the window is opened.
//
//   void init()    { Fixture.emplace(); }        // then Fixture->Open() in the test
//   void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

#include <memory>

#include "ProgramFixture.h"
#include "ui/MainForm.h"

class TWindowFixture : public TProgramFixture {
public:
    ~TWindowFixture();

    // Creates and shows the main window (start-up runs inside).
    TMForm& Open();
    // Destroys the window (shutdown runs inside unless the window was closed already).
    void Destroy();
    // Destroys the window and opens a new one on the same program directory: a restart.
    TMForm& Restart();

    TMForm* Window() const { return Form.get(); }

private:
    std::unique_ptr<TMForm> Form;
};

// Ends the window fixture (shutdown included) and fails the test when a dialog was left
// unchecked.
#define TARVIK_FINISH_WINDOW(fixture)                                    \
    do {                                                                 \
        if (fixture)                                                     \
            (fixture)->Destroy();                                        \
        TARVIK_FINISH_FIXTURE(fixture);                                  \
    } while (false)
