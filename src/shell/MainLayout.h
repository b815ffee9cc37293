#pragma once
// The arithmetic of the main window's layout, apart from any window: the parts stacked from the
// tool bar down to the last preview, the heights a font makes the bar and the previews take, and
// the smallest window size that keeps every part usable. Measures are pixels at the window's DPI
// unless a name says they are designed (pixels at 96 DPI).
#include <array>
#include <cstddef>

namespace lexmora::main_layout {

// Designed measures.
inline constexpr int kToolbarHeight = 30;
inline constexpr int kSpacerHeight = 9;
inline constexpr int kPreviewHeight = 17;
inline constexpr int kMinWidth = 320;
inline constexpr int kMinHeight = 250;
// The least room above and below the search box in the bar.
inline constexpr int kSearchBarRoom = 2;
// The least room a preview keeps below a line of its font.
inline constexpr int kPreviewTextRoom = 2;
// The room the bar keeps after its last button at the smallest width.
inline constexpr int kToolbarEndRoom = 4;
inline constexpr int kPreviewCount = 4;
inline constexpr int kSpacerCount = 6;

// The stacked parts, top to bottom. The strip below the bar is 0 high while nothing shows there;
// the large pane takes what the others leave.
enum Part : size_t {
  kBar,
  kStrip,
  kTopSpacer,
  kTop1,
  kTop1Spacer,
  kTop2,
  kTopBevel,
  kMeaning,
  kBottomBevel,
  kBottom2,
  kBottom1Spacer,
  kBottom1,
  kBottomSpacer,
  kPartCount
};

struct Band {
  int top = 0;
  int height = 0;
};
using Stack = std::array<Band, kPartCount>;

// What the window measures at its DPI.
struct Measures {
  int dpi = 96;
  // The search box's outer height, which its font sets.
  int searchBoxHeight = 0;
  // The height of a line of the pane font; 0 while it is unknown.
  int lineHeight = 0;
  // The height of the strip below the bar; 0 while nothing shows there.
  int stripHeight = 0;
};

struct PartHeights {
  int bar = 0;
  int preview = 0;
};

// The bar keeps its designed height unless the search box needs more, with its room above and
// below; a preview keeps its designed height unless a whole line of the font needs more.
PartHeights FontHeights(const Measures& m);

// The parts stacked over a client area `clientHeight` high; the large pane is never less than 0
// high, and the parts below it then run past the bottom.
Stack StackParts(int clientHeight, const Measures& m);

// The top of the search box centred in a bar `barHeight` high; never above the bar.
int SearchBoxTop(int barHeight, int boxHeight);

// The smallest window height: the designed one, grown by what the bar and the previews take
// beyond their designed heights, and further where the large pane would not show a whole line
// beside the strip. `frameHeight` is what the window's frame adds to its client height.
int SmallestWindowHeight(const Measures& m, int frameHeight);

// The smallest window width that shows the bar's last button whole: the button's right edge in
// the client area, the room after it, and what the frame adds to the client width.
int ToolbarWindowWidth(int lastButtonRight, int frameWidth, int dpi);

}  // namespace lexmora::main_layout
