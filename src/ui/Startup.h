#pragma once
// Start-up and shutdown of the program as a whole. They reach into every module and the main
// window, so they sit on top, beside the window's wiring.

// Returns every program-wide variable of every module to its start value: the readings and
// flags, the tables, the configuration record and the result store. Start-up calls it first,
// and each test case calls it to begin with a fresh program in the same process.
void ResetProgramState();

// Prepares the program while the main window (MForm) is being created: fixes the number
// format, reads the version, builds the channel tables, clears the results, finds the program
// directory, reads settings.ini, applies it to the window and builds the error table.
void InitializeProgram();

// Ends the program while the main window is destroyed: stops the polling and on-time timers
// and clears the link flags, saves [TR] and [ATS] from memory and the front panel, closes the
// log and releases the port without sending anything. A failing step is reported and the
// remaining steps still run.
void FinalizeProgram();
