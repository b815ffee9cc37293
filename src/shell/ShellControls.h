#pragma once
// Small variants of the framework's controls that the main window and the about box need.
#include <windows.h>

#include <functional>

#include "ui/Controls.h"
#include "ui/RichEdit.h"
#include "ui/ToolBar.h"

namespace lexmora {

// Room above and below the text of the strip below the tool bar (the match count, the line of
// word forms), at 96 DPI.
inline constexpr int kStripPadding = 6;

// A text of the strip stands on the window's background, as the panes around it do: sets the
// colours of `dc` and gives the brush, as WM_CTLCOLORSTATIC answers.
LRESULT StripTextColors(HDC dc);

// A read-only rich-text pane that shows the hand pointer. Every press of a mouse button over it,
// the second press of a double click included, is reported through OnMouseDown and goes no
// further: the pane takes neither the focus nor a selection from the mouse.
class TPreviewPane : public TRichEdit {
 public:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A bevel drawn on the window colour instead of the button face.
class TWindowBevel : public TBevel {
 public:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A tool bar on the button face, with etched lines along its top and bottom edges.
class TEdgedToolBar : public TToolBar {
 public:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A label that acts as a link: hand pointer, a click event (the label needs SS_NOTIFY), and
// events when the pointer enters and leaves it.
class TLinkLabel : public TLabel {
 public:
  std::function<void(TLinkLabel&sender)> OnClick, OnMouseEnter, OnMouseLeave;

  void HandleCommand(WORD code, WORD id) override;
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool hovered_ = false;
};

// Takes the format characters (Unicode Cf, invisible) out of the combo box's text, which cannot
// have been meant when typed or pasted, keeping the selection on the same characters. True when
// the text changed.
bool DropFormatCharacters(TComboBox& box);

// The edit field of a combo box; null when it cannot be had.
HWND EditOf(const TComboBox& box);

// Where the text of the combo box's edit starts, in the client coordinates of `window`; 0 when
// the edit cannot be had. A strip below the tool bar starts its text there.
int SearchTextLeft(const TComboBox& box, HWND window);

}  // namespace lexmora
