#include "shell/MainLayout.h"

#include <algorithm>

#include "base/DpiScale.h"

namespace lexmora::main_layout {

PartHeights FontHeights(const Measures& m) {
  return {std::max(ScaleToDpi(kToolbarHeight, m.dpi),
                   m.searchBoxHeight + 2 * ScaleToDpi(kSearchBarRoom, m.dpi)),
          std::max(ScaleToDpi(kPreviewHeight, m.dpi),
                   m.lineHeight + ScaleToDpi(kPreviewTextRoom, m.dpi))};
}

Stack StackParts(int clientHeight, const Measures& m) {
  const auto [bar, preview] = FontHeights(m);
  const int spacer = ScaleToDpi(kSpacerHeight, m.dpi);
  const int above = bar + std::max(0, m.stripHeight) + 3 * spacer + 2 * preview;
  const int below = 3 * spacer + 2 * preview;
  const int heights[kPartCount] = {bar,    std::max(0, m.stripHeight),
                                   spacer, preview,
                                   spacer, preview,
                                   spacer, std::max(0, clientHeight - above - below),
                                   spacer, preview,
                                   spacer, preview,
                                   spacer};
  Stack stack{};
  int y = 0;
  for (size_t part = 0; part < kPartCount; ++part) {
    stack[part] = {y, heights[part]};
    y += heights[part];
  }
  return stack;
}

int SearchBoxTop(int barHeight, int boxHeight) {
  return std::max(0, (barHeight - boxHeight) / 2);
}

int SmallestWindowHeight(const Measures& m, int frameHeight) {
  const auto scale = [&m](int designed) { return ScaleToDpi(designed, m.dpi); };
  const auto [bar, preview] = FontHeights(m);
  const int grown =
      (bar - scale(kToolbarHeight)) + kPreviewCount * (preview - scale(kPreviewHeight));
  // The large pane's height at the designed smallest window height, and what it needs for a
  // whole line beside the strip.
  const int designedMain = scale(kMinHeight) - frameHeight - scale(kToolbarHeight) -
                           kSpacerCount * scale(kSpacerHeight) -
                           kPreviewCount * scale(kPreviewHeight);
  const int neededMain = m.stripHeight + m.lineHeight + scale(kPreviewTextRoom);
  return scale(kMinHeight) + grown + std::max(0, neededMain - designedMain);
}

int ToolbarWindowWidth(int lastButtonRight, int frameWidth, int dpi) {
  return lastButtonRight + ScaleToDpi(kToolbarEndRoom, dpi) + frameWidth;
}

}  // namespace lexmora::main_layout
