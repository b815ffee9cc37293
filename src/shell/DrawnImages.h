#pragma once
// The program's bitmaps, each drawn at several sizes (tools/draw_images.py), and which size a
// display of a given DPI shows.
#include <windows.h>

#include <array>
#include <span>

#include "../resources/ImageIds.h"
#include "ui/ToolBar.h"

namespace lexmora {

// One drawing of a bitmap: its resource and the size of one image of its strip.
struct TDrawnImage {
  int resourceId;
  int width;
  int height;
};

// Smallest first; the first is the size the layouts are designed for (96 DPI).
inline constexpr std::array<TDrawnImage, 3> kToolbarImages{
    {{IDB_TOOLBAR, 16, 16}, {IDB_TOOLBAR24, 24, 24}, {IDB_TOOLBAR32, 32, 32}}};
inline constexpr std::array<TDrawnImage, 3> kOptionsIcons{
    {{IDB_OPTIONSICON, 32, 32}, {IDB_OPTIONSICON48, 48, 48}, {IDB_OPTIONSICON64, 64, 64}}};
inline constexpr std::array<TDrawnImage, 3> kAboutLogos{
    {{IDB_ABOUTLOGO, 97, 90}, {IDB_ABOUTLOGO150, 146, 135}, {IDB_ABOUTLOGO200, 194, 180}}};

// The largest drawing not wider than the designed one scaled to `dpi`, so that it fits the
// layout; the smallest when every drawing is wider. `sizes` is not empty.
const TDrawnImage& ImageForDpi(std::span<const TDrawnImage> sizes, int dpi) noexcept;

// Makes `list` hold the images of the drawing, with the key colour transparent. When the bitmap
// cannot be loaded the list stays empty, at the drawing's size.
void LoadDrawnImages(TImageList& list, const TDrawnImage& image);

}  // namespace lexmora
