#pragma once
// The form base class: one top-level window with its controls.
//
// Making a form: derive from TForm, set the creation fields (border style, stay on top), then
// call CreateFromLayout(id) for a DIALOGEX resource or CreateEmpty() for a form built in code,
// attach the control wrappers (control.Attach(Item(IDC_X)) or control.Create(...)) and bind the
// events to member handlers:
//
//   TfmChooseDict::TfmChooseDict() {
//     CreateFromLayout(IDD_CHOOSEDICT);
//     lbFiles.Attach(Item(IDC_LBFILES));
//     lbFiles.OnClick = [this] { lbFilesClick(); };
//     OnShow = [this] { FormShow(); };
//   }
//
// Layout resources are ordinary DIALOGEX templates, except that all coordinates are pixels at 96
// DPI, not dialog units: the form scales them, and the template's font, to the DPI of its window
// (see ui/Dpi.h). The template's size is the client size, and an item's help id, when not 0, names
// the panel that holds it (its position is then relative to that panel). DS_CENTER centres the
// form on the main form each time it is shown; CLASS "name" registers the form under that class
// (upper-cased by the resource compiler: set windowClassName_ for an exact name). The template
// is read by ReadLayoutTemplate (ui/LayoutTemplate.h).
//
// Ownership: while a main form exists, every other form is owned by it (it stays above the main
// form and is minimized with it), except a sizeable overlapped window, which stands on its own.
// This holds for layouts and for forms built in code alike.
//
// Raw messages: override WndProc(), handle what you need and return TForm::WndProc(...) for the
// standard handling (events, modal close, default processing).
//
// Forms are owned through FormPtr (MakeForm<T>(...)), which destroys the window while the derived
// object is still whole, so OnDestroy may use it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Handle.h"
#include "ui/Dpi.h"

namespace lexmora {

class TControl;
class TButton;
struct TLayoutFont;
struct TLayoutItem;

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;
constexpr int mrCancel = IDCANCEL;

enum class TBorderStyle { Sizeable, Dialog, None };
enum class TPosition { Designed, MainFormCenter, ScreenCenter };

// What CreateEmpty passes to CreateWindowExW; a form may change it in CreateParams().
struct TFormParams {
  std::wstring className = L"LexmoraForm";
  std::wstring caption;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND owner = nullptr;
};

class TForm {
 public:
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  HWND Handle() const noexcept { return hwnd_; }
  // A control of the form by its id, searched through the panels too; raises when missing.
  HWND Item(int id) const;

  // Events. Key press runs for characters typed anywhere in the form when KeyPreview is on,
  // before the focused control sees them; setting the character to 0 swallows it.
  std::function<void()> OnCreate, OnShow, OnActivate, OnDestroy, OnResize;
  std::function<void(wchar_t& key)> OnKeyPress;
  bool KeyPreview = false;
  // The window has moved to a display of another DPI (WM_DPICHANGED). Runs after Dpi() has
  // changed and the form has rescaled its controls' bounds and fonts, before the window takes
  // the rectangle the system proposes. The argument is the DPI the window had before.
  std::function<void(int oldDpi)> OnDpiChange;

  // The DPI of the display the window is on, and a measure designed at 96 DPI scaled to it.
  int Dpi() const noexcept { return dpi_; }
  int Scale(int designed) const noexcept { return ScaleToDpi(designed, dpi_); }

  std::string Caption() const;
  void SetCaption(const std::string& caption);
  std::wstring Text() const;
  void SetText(const std::wstring& text);

  void Show();
  void Hide();
  // The next Show() that makes the window visible shows it maximized (a hidden window cannot be
  // maximized without being shown).
  void SetMaximizeOnShow(bool maximize) noexcept { maximizeOnShow_ = maximize; }
  bool MaximizeOnShow() const noexcept { return maximizeOnShow_; }
  bool Visible() const noexcept;
  // Sends a close request: a modal form then returns mrCancel, the main form ends the program,
  // any other form hides.
  void Close();
  // Disables the application's other windows, shows and activates the form (OnActivate runs
  // now), resets the modal result, and handles messages until a modal result is set. Returns it.
  int ShowModal();
  bool InModal() const noexcept { return inModal_; }
  int ModalResult() const noexcept { return modalResult_; }
  void SetModalResult(int result) noexcept { modalResult_ = result; }

  // Enter clicks the default button (when enabled), Escape the cancel button.
  void SetDefaultButton(TButton* button) noexcept { defaultButton_ = button; }
  void SetCancelButton(TButton* button) noexcept { cancelButton_ = button; }
  // The control that gets the focus when the form is activated.
  void SetActiveControl(TControl* control) noexcept;
  // Shortcuts: an accelerator table translated while any control of the form has the focus;
  // each command id runs its OnCommand handler.
  void SetShortcuts(const std::vector<ACCEL>& keys);
  void OnCommand(WORD id, std::function<void()> handler);

  void SetPosition(TPosition position) noexcept { position_ = position; }
  // The mouse pointer over the whole form, its controls included; nullptr for the default.
  void SetCursor(HCURSOR cursor);
  HCURSOR Cursor() const noexcept { return cursor_; }
  // The form's font; the form owns it and gives it to controls created afterwards.
  void SetFont(GdiObject font);
  HFONT Font() const noexcept;
  // The smallest size the user can give the window, in pixels at 96 DPI.
  void SetMinTrackSize(int width, int height) noexcept { minTrack_ = {width, height}; }

  RECT ClientRect() const;
  void SetBounds(int left, int top, int width, int height);
  // Invalidates and paints the whole window now.
  void Repaint();

  // Destroys the window (OnDestroy runs). FormPtr calls this before deleting.
  void DestroyHandle() noexcept;

  // Dialog keys, key preview, control key presses and shortcuts for a message taken from the
  // queue; true when the message was consumed. Used by the application's message loop.
  bool PreTranslate(MSG& msg);
  // The form holding `hwnd` (a form or any window inside one), or nullptr.
  static TForm* FromHandle(HWND hwnd) noexcept;

 protected:
  TForm();
  // Creation fields, read by CreateEmpty (and CreateFromLayout for the stay-on-top flag).
  TBorderStyle borderStyle_ = TBorderStyle::Sizeable;
  bool stayOnTop_ = false;
  // The window class, when set; it overrides a layout's CLASS, which the resource compiler
  // stores upper-cased.
  std::wstring windowClassName_;

  void CreateFromLayout(int resourceId);
  void CreateEmpty();
  virtual void CreateParams(TFormParams& params);
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Runs OnCreate; an exception is reported and the form stays created.
  void DoCreate() noexcept;

 private:
  friend LRESULT CALLBACK FormWindowProc(HWND, UINT, WPARAM, LPARAM);
  // Creates the window with the designed client size scaled to the DPI it is shown at.
  void CreateWindowFrom(const TFormParams& params, int clientWidth, int clientHeight);
  // The owner of a form made with `style`: the main form, for every other form but a sizeable
  // overlapped window (one of the main form's kind), which stands on its own.
  HWND MainFormOwner(DWORD style) const noexcept;
  // The layout's font at Dpi(), kept as the form's font.
  void SetLayoutFont(const TLayoutFont& font);
  void CreateLayoutItem(const TLayoutItem& item, int resourceId);
  void HandleDpiChange(int dpi, const RECT& suggested);
  // Bounds and fonts of the controls, from the DPI `oldDpi` to Dpi().
  void RescaleControls(int oldDpi);
  // The form's font at Dpi(), made from the one it had at `oldDpi`.
  HFONT FontForDpi(int oldDpi) const;
  void PlaceForShowing();
  void FireActivate();
  void FocusActiveControl();
  bool HandleDialogKey(MSG& msg);

  HWND hwnd_ = nullptr;
  int dpi_ = kDesignDpi;
  int modalResult_ = mrNone;
  bool inModal_ = false;
  bool maximizeOnShow_ = false;
  TPosition position_ = TPosition::Designed;
  HCURSOR cursor_ = nullptr;
  GdiObject font_;
  int layoutFontPoints_ = 0;  // the size of the layout's font, when the form has one
  TButton* defaultButton_ = nullptr;
  TButton* cancelButton_ = nullptr;
  TControl* activeControl_ = nullptr;
  HWND lastFocus_ = nullptr;
  AcceleratorTable accel_;
  std::map<WORD, std::function<void()>> commands_;
  POINT minTrack_ = {0, 0};
  // Where the layout put its controls, in pixels at 96 DPI, relative to their parents.
  std::map<HWND, RECT> designed_;
};

struct FormDeleter {
  void operator()(TForm* form) const noexcept {
    form->DestroyHandle();
    delete form;
  }
};
template <typename T>
using FormPtr = std::unique_ptr<T, FormDeleter>;

template <typename T, typename... Args>
FormPtr<T> MakeForm(Args&&... args) {
  return FormPtr<T>(new T(std::forward<Args>(args)...));
}

// Registers a window class that uses the forms' window procedure (once per name).
void RegisterFormClass(const std::wstring& className);

}  // namespace lexmora
