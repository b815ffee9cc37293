#pragma once
// Small variants of the framework's controls that the main window and the about box need.
#include <windows.h>

#include <functional>

#include "ui/Controls.h"
#include "ui/RichEdit.h"
#include "ui/ToolBar.h"

namespace lexmora {

// A read-only rich-text pane that shows the hand pointer. A mouse button pressed over it is
// handled by the pane first (which may take the focus) and then reported through OnMouseDown, so
// that the handler has the last word on the focus.
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
  bool Hovered() const noexcept { return hovered_; }

  void HandleCommand(WORD code, WORD id) override;
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool hovered_ = false;
};

}  // namespace lexmora
