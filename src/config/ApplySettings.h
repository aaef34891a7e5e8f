#pragma once
// Makes the running window follow the configuration record: after start-up has read
// settings.ini and after every OK in the settings dialog.
void ApplySettings();
