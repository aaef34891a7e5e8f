#pragma once
// The traffic log: one plain-text file per run in the "log" folder beside the program, with a
// line for every received chunk and every dispatched frame, written while WriteLog is on.

#include <QString>

// True once this run's log file has been created; it stays true until the program ends.
extern bool LogOpen;

// Creates the log folder and this run's file, named after the current local date and time
// ("2011-03-07 09-05-02.txt"), unless it is open already. A failure shows "Error initializing
// log file!" and leaves LogOpen false, so the next try makes a new attempt. A file of the same
// name (a second run started in the same second) is appended to, never replaced.
void OpenLog();

// Appends "<date time>: <text>" with CR LF while WriteLog is on. Never fails towards the caller:
// the first write that fails (a full disk) is reported in a message box and ends logging for
// the rest of the run.
void WriteLogLine(const QString& text);

// Closes the file if it is open.
void CloseLog();

// The log's line stamp for a moment: the regional short date, a space and the 24-hour time;
// the time is left out at exactly midnight.
QString LogTimeStamp(const class QDateTime& moment);

// Closes the file and forgets it, as at program start.
void ResetLogState();
