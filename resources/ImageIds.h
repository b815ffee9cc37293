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

// All three bitmaps are drawn on this colour, which marks their transparent pixels;
// the bottom-left pixel of each always has it.
#define IMAGE_KEY_COLORREF 0x00FF00FFu  // RGB(255, 0, 255), magenta
