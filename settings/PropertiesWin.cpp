// The members of the settings records that need the system: the default
// folders from the registry and the primary display's size.
#include "settings/Properties.h"
#include "settings/ShellFolders.h"

#include <windows.h>

TProperties::TProperties() : TProperties(GetMyPicturesFolder().c_str(), GetPersonalFolder().c_str()) {}

void TWinPos::CentreOnScreen(int32_t width, int32_t height) {
    CentreIn(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width, height);
}
