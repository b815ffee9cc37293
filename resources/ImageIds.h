// Resource ids of the program's images (resources/images/, declared in Images.rc).
#pragma once

// The application icon. It has the lowest id of the program's icons, so Windows shows it
// as the program's own icon.
#define IDI_APP 1

// 96 x 16, 24-bit: the six 16 x 16 tool-bar images in index order
// (0 stay on top, 1 dictionary, 2 help, 3 about, 4 options, 5 search inside entries).
#define IDB_TOOLBAR 200
// 97 x 90, 24-bit: the about box's logo.
#define IDB_ABOUTLOGO 201
// 32 x 32, 24-bit: the picture at the top of the options dialog.
#define IDB_OPTIONSICON 202

// The same three drawn again for displays of 144 DPI (150 %) and 192 DPI (200 %):
// tool-bar images of 24 x 24 and 32 x 32, logos of 146 x 135 and 194 x 180, and option
// pictures of 48 x 48 and 64 x 64.
#define IDB_TOOLBAR24 210
#define IDB_TOOLBAR32 211
#define IDB_ABOUTLOGO150 212
#define IDB_ABOUTLOGO200 213
#define IDB_OPTIONSICON48 214
#define IDB_OPTIONSICON64 215

// All the bitmaps are drawn on this colour, which marks their transparent pixels;
// the bottom-left pixel of each always has it.
#define IMAGE_KEY_COLORREF 0x00FF00FFu  // RGB(255, 0, 255), magenta
