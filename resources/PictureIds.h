// Resource ids of the program's pictures (drawn by MakePictures.py): the
// command glyphs, the tree's icons, the folder button glyph and the
// program icon.
#pragma once

// Twelve 16 x 16 command glyphs side by side in one 192 x 16 strip, 24-bit,
// magenta (255, 0, 255) where the glyph is transparent. Index order: 0 rotate
// right, 1 rotate left, 2 rotate 180, 3 copy, 4 properties, 5 maximum size,
// 6 snap ratio, 7 previous, 8 next, 9 enlargement, 10 help, 11 invert ratio.
#define IDB_COMMAND_GLYPHS 300
// Three 16 x 16 tree icons in one 48 x 16 strip, same format: 0 folder,
// 1 image entry selected, 2 image entry not selected.
#define IDB_TREE_ICONS 301
// The 16 x 16 folder glyph of the folder buttons, same format.
#define IDB_FOLDER_GLYPH 302

// The side of every glyph and the transparent colour (0x00BBGGRR).
#define PICTURE_GLYPH_SIZE 16
#define PICTURE_MASK_COLOUR 0x00FF00FF
