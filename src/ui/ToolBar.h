#pragma once
// Tool bar with image buttons, check-style buttons, hints and embedded controls.
//
//   imglst.Create(16, 16);  imglst.AddStrip(bitmap, RGB(255, 0, 255));
//   tbMain.Create(Handle(), &imglst);
//   tbMain.AddControl(cbSearch, 150);  // widths in pixels at 96 DPI, scaled to the form's DPI
//   TToolButton& b = tbMain.AddButton(kIdDict, 0, "Change dictionary (Ctrl+D)");
//   b.OnClick = [this] { tbtnDictClick(); };
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Handle.h"
#include "ui/Controls.h"

namespace lexmora {

// An image list of images of one size.
class TImageList {
 public:
  void Create(int width, int height);
  // Adds the images of a strip bitmap (each `width` pixels wide), `mask` being transparent.
  // Raises Exception when they cannot be added.
  void AddStrip(HBITMAP bitmap, COLORREF mask);
  // The same for the program's bitmap resource `bitmapId`; a program without that resource
  // gets no images. The loaded bitmap is freed on every path.
  void AddStripResource(int bitmapId, COLORREF mask);
  int Count() const noexcept;
  HIMAGELIST Handle() const noexcept { return list_.Get(); }
  void Swap(TImageList& other) noexcept { std::swap(list_, other.list_); }

 private:
  ImageListHandle list_;
};

class TToolBar;

class TToolButton {
 public:
  TToolButton(TToolBar& bar, int id, std::string hint)
      : bar_(bar), id_(id), hint_(std::move(hint)) {}
  int Id() const noexcept { return id_; }
  const std::string& Hint() const noexcept { return hint_; }
  // The pressed state of a check-style button.
  bool Down() const noexcept;
  void SetDown(bool down);
  bool Enabled() const noexcept;
  void SetEnabled(bool enabled);
  // For a check-style button the state has already changed when this runs.
  std::function<void()> OnClick;

 private:
  TToolBar& bar_;
  int id_;
  std::string hint_;
  std::wstring hintText_;
  friend class TToolBar;
};

class TToolBar : public TControl {
 public:
  void Create(HWND parent, TImageList* images);
  TToolButton& AddButton(int id, int image, const std::string& hint, bool checkStyle = false);
  // Widths are designed in pixels at 96 DPI; the bar scales them to its form's DPI.
  void AddSeparator(int width = 8);
  // Places `control` on the bar in a gap `width` pixels wide.
  void AddControl(TControl& control, int width);
  // After the form's DPI has changed: shows `images` (drawn for the new DPI) and scales the
  // separators and the gaps of the controls to it.
  void ApplyDpi(TImageList* images);
  TToolButton* Button(int id) noexcept;
  // Fits the bar to its parent's width; call from the parent's layout.
  void AutoSize();
  int Height() const;

  void HandleCommand(WORD code, WORD id) override;
  bool HandleNotify(NMHDR& header, LRESULT& result) override;
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // A separator, or the gap of a control placed on the bar.
  struct Gap {
    int index;     // of the separator among the bar's buttons
    int designed;  // width at 96 DPI
    TControl* control;
  };
  int ScaledWidth(int designed) const;
  void SetImages(TImageList* images);
  void PlaceControl(const Gap& gap);

  std::vector<std::unique_ptr<TToolButton>> buttons_;
  std::vector<Gap> gaps_;
};

}  // namespace lexmora
