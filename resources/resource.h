// Resource ids of the program (one home for every id the .rc uses).
#pragma once

#define IDR_MANIFEST 1
#define IDI_MAINICON 1
