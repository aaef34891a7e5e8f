#pragma once
// Start-up and shutdown of the program as a whole. This is the one place in core that reaches
// into every module, because a fresh program means every module's state at its start value.

// Returns every program-wide variable of every module to its start value: the readings and
// flags, the error table, the configuration record and the result store. Start-up calls it
// first, and each test case calls it to begin with a fresh program in the same process.
void ResetProgramState();
