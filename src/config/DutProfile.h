#pragma once
// DUT profile files: INI files whose [PSU] section describes one power supply model (the same
// section as in settings.ini, so either can be loaded as the other). The PSU Info page of the
// settings dialog loads them into its fields and saves its fields to them (the dialog's
// bLoadPSUClick and bSavePSUClick live in DutProfile.cpp); the description in use changes
// only at the dialog's OK.

#include <QString>

// The name a profile is saved under: the chosen name when it contains ".ini" anywhere (with
// that letter case), otherwise the chosen name with ".ini" appended. "PSU1.INI" becomes
// "PSU1.INI.ini"; "a.ini.bak" stays as it is.
QString ProfileFileName(const QString& chosen);
