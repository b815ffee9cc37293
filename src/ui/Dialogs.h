#pragma once
// The system's font dialog, and fonts described by name and size in points.
#include <windows.h>

#include <string>

#include "base/Handle.h"

namespace lexmora {

// A font by name and size in points, with the style the font dialog may add.
struct TFontSpec {
  std::string name;
  int size = 8;
  LONG weight = FW_NORMAL;
  bool italic = false;
};

// Creates the font with its size in points at `dpi` pixels per inch (by default the screen's);
// raises when it cannot.
GdiObject CreateFontFromSpec(const TFontSpec& desc, int dpi = 0);
// Name and size in points of a font handle.
TFontSpec DescribeFont(HFONT font);

// ChooseFont with only existing screen fonts, sizes limited to MinSize..MaxSize points and no
// effects (colour, underline, strike-out).
class TFontDialog {
 public:
  TFontSpec Font{"MS Sans Serif", 8};
  int MinSize = 6;
  int MaxSize = 40;
  // Runs the dialog starting from Font; on OK, Font becomes the chosen font. True on OK.
  bool Execute(HWND owner);
};

}  // namespace lexmora
