#include "config/AppSettings.h"

void ResetAppSettings() { AppSettings = TAppSettings{}; }
