#pragma once
// Thin wrappers over the standard Windows controls. A wrapper either attaches to a control that
// a layout created (Attach(form.Item(id))) or creates its own (Create(parent, ...)); either way
// the window belongs to its parent and dies with it. Notifications reach the wrapper through
// the form's window procedure and become the events below; handlers run inside the form's
// exception boundary.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/Handle.h"
#include "ui/BevelShapes.h"

namespace lexmora {

class TForm;

// The button of a press, WM_xBUTTONDOWN or the second press of a double click
// (WM_xBUTTONDBLCLK), as MK_LBUTTON, MK_RBUTTON or MK_MBUTTON; 0 for any other message.
int PressedButton(UINT msg) noexcept;

class TControl {
 public:
  TControl() = default;
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  // Takes over a control created elsewhere; raises when hwnd is null.
  void Attach(HWND hwnd);
  HWND Handle() const noexcept { return hwnd_; }
  // The form that holds this control, or nullptr.
  TForm* Form() const noexcept;
  // The wrapper of `hwnd` (or of the combo box whose edit `hwnd` is), or nullptr.
  static TControl* FromHandle(HWND hwnd) noexcept;

  int32_t Tag = 0;
  // A character typed while the control has the focus; set it to 0 to swallow it.
  std::function<void(wchar_t& key)> OnKeyPress;
  // Any mouse button pressed over the control, the second press of a double click included:
  // button (MK_LBUTTON, MK_RBUTTON, MK_MBUTTON), the key state of the message, and the
  // position in client coordinates.
  std::function<void(TControl& sender, int button, UINT keys, int x, int y)> OnMouseDown;

  bool Enabled() const noexcept;
  void SetEnabled(bool enabled);
  bool Visible() const noexcept;
  void SetFocus();
  bool Focused() const noexcept;
  // Position relative to the parent's client area.
  RECT BoundsRect() const;
  void SetBounds(int left, int top, int width, int height);
  std::string Caption() const;  // in the system code page
  virtual void SetCaption(const std::string& caption);
  std::wstring Text() const;
  virtual void SetText(const std::wstring& text);
  HFONT Font() const noexcept;
  // The height of a line of text in the control's font.
  int TextHeight() const;
  // Uses `font` (not owned); SetOwnedFont keeps the font alive as long as the control.
  void SetFont(HFONT font);
  void SetOwnedFont(GdiObject font);
  // Converts the height of the control's own font (SetOwnedFont) between two DPIs.
  void RescaleOwnedFont(int fromDpi, int toDpi);

  // Routed here by the form: WM_COMMAND notification codes and WM_NOTIFY.
  virtual void HandleCommand(WORD code, WORD id);
  virtual bool HandleNotify(NMHDR& header, LRESULT& result);
  // WM_DRAWITEM of an owner-drawn control, routed here by the form; true when drawn.
  virtual bool HandleDrawItem(const DRAWITEMSTRUCT& item);
  // Messages of the control's own window, before its standard handling; true when consumed.
  virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The keys the control keeps for itself (WM_GETDLGCODE's answer) when `msg`, a key message
  // for this control or a window inside it, comes from the queue.
  virtual LRESULT DialogCode(MSG& msg);

 protected:
  // Creates a child window of `parent` with the parent form's font.
  void CreateChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   DWORD exStyle, int left, int top, int width, int height, int id = 0);
  void Detach() noexcept;

 private:
  friend LRESULT CALLBACK ControlSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  HWND hwnd_ = nullptr;
  GdiObject ownedFont_;
};

// Push button. A click sets the form's modal result (when ModalResult is not 0), then runs
// OnClick.
class TButton : public TControl {
 public:
  void Create(HWND parent, const std::string& caption, int left, int top, int width, int height,
              int id = 0);
  int ModalResult = 0;
  std::function<void()> OnClick;
  void Click();
  void HandleCommand(WORD code, WORD id) override;
};

class TCheckBox : public TControl {
 public:
  bool Checked() const noexcept;
  void SetChecked(bool checked);  // does not run OnClick
  std::function<void()> OnClick;
  void HandleCommand(WORD code, WORD id) override;
};

// Static text. With AutoSize the label takes the size of its text whenever the text changes.
class TLabel : public TControl {
 public:
  void Create(HWND parent, int left, int top, int width, int height);
  bool AutoSize = false;
  void SetCaption(const std::string& caption) override;
  void SetText(const std::wstring& text) override;
  void AdjustSize();
};

// A line of text with links (the common controls' SysLink): markup whose <a>...</a> parts are
// the links, numbered from 0 in their order. A link is followed by a click, or by Enter or Space
// while it has the focus (Tab moves between the links).
class TSysLink : public TControl {
 public:
  void Create(HWND parent, int id);
  // The markup shown; < and > that are not part of a link's tags may be mistaken for them. The
  // control's own text holds each link's number as its id (<a id="0">).
  void SetMarkup(const std::wstring& markup);
  const std::wstring& Markup() const noexcept { return markup_; }
  std::function<void(int link)> OnLinkClick;
  bool HandleNotify(NMHDR& header, LRESULT& result) override;

 private:
  std::wstring markup_;
};

class TEdit : public TControl {
 public:
  std::function<void()> OnChange;
  void HandleCommand(WORD code, WORD id) override;
};

// Up-down control with its buddy edit box; the edit's text follows the position.
class TUpDown : public TControl {
 public:
  void Associate(TEdit& buddy);
  void SetRange(int16_t minimum, int16_t maximum);
  int16_t Min() const noexcept;
  int16_t Max() const noexcept;
  // The position, taken from the buddy's text when that is a whole number within the range.
  int16_t Position() const noexcept;
  void SetPosition(int16_t position);
  // An arrow was pressed, with the change of position it proposes (positive towards the range's
  // maximum: the upper arrow of a range from low to high). Set, the position stays as it is.
  std::function<void(int delta)> OnArrow;
  bool HandleNotify(NMHDR& header, LRESULT& result) override;
};

class TListBox : public TControl {
 public:
  void Clear();
  void Add(const std::wstring& item);
  int32_t Count() const noexcept;
  std::wstring Item(int32_t index) const;  // raises EListError outside 0..Count()-1
  int32_t ItemIndex() const noexcept;      // -1 when nothing is selected
  void SetItemIndex(int32_t index);
  void SetItemHeight(int height);
  std::function<void()> OnClick;     // the selection changed by mouse or keyboard
  std::function<void()> OnDblClick;  // double click anywhere in the list
  void HandleCommand(WORD code, WORD id) override;
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// Combo box; for an editable one, key presses typed into its edit reach this wrapper.
class TComboBox : public TControl {
 public:
  // A drop-down combo box with an edit field.
  void Create(HWND parent, DWORD extraStyle, int left, int top, int width, int height, int id = 0);
  void SetMaxLength(int length);
  void AddItem(const std::wstring& item);
  void DeleteItem(int32_t index);
  int32_t Count() const noexcept;
  std::wstring Item(int32_t index) const;  // raises EListError outside 0..Count()-1
  int32_t ItemIndex() const noexcept;
  void SelectAll();
  // The text changed: typed, or an item chosen from the list (Text() is then the item).
  std::function<void()> OnChange;
  void HandleCommand(WORD code, WORD id) override;
  void AttachEdit();

 private:
  HWND edit_ = nullptr;
};

// A container with its own background; controls inside it are its child windows. It passes its
// children's notifications on to the form.
class TPanel : public TControl {
 public:
  void Create(HWND parent, int left, int top, int width, int height, int id = 0);
  // A system colour index (COLOR_BTNFACE by default) for the panel and its labels' backgrounds.
  void SetColor(int systemColor);
  int Color() const noexcept { return color_; }

 private:
  int color_ = COLOR_BTNFACE;
};

class TBevel : public TControl {
 public:
  void Create(HWND parent, DWORD shape, int left, int top, int width, int height);
};

class TProgressBar : public TControl {
 public:
  void Create(HWND parent, int left, int top, int width, int height);
  void SetStep(int step);
  void StepIt();
  int Position() const noexcept;
  int Min() const noexcept;
  int Max() const noexcept;
};

// A static picture: an icon shown at its own size.
class TImage : public TControl {
 public:
  void SetIcon(HICON icon);
};

// Registers the framework's own control classes ("LexmoraPanel", "LexmoraBevel").
void RegisterControlClasses(HINSTANCE instance);

}  // namespace lexmora
