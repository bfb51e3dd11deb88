// Resource ids of the program's cursors.
#pragma once

#define IDR_CURSOR_MOVE 175 // closed hand, hot spot (7, 20): moving the crop box
#define IDR_CURSOR_CROP 176 // crop tool, hot spot (5, 5): drawing a crop box
