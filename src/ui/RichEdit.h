#pragma once
// Rich-text pane: RICHEDIT50W from Msftedit.dll, or RichEdit20W from riched20.dll where that is
// missing. Panes are read-only and borderless; Tag (from TControl) and OnMouseDown serve the
// preview panes.
#include <windows.h>

#include <string>

#include "ui/Controls.h"

namespace lexmora {

class TRichEdit : public TControl {
 public:
  // `extraStyle` adds to WS_VISIBLE | ES_MULTILINE | ES_READONLY (for example WS_VSCROLL).
  void Create(HWND parent, DWORD extraStyle, int left, int top, int width, int height, int id = 0);
  int LineCount() const noexcept;
  // The text of a displayed line (after wrapping), without its line break.
  std::wstring Line(int index) const;
  void SetSelection(int32_t start, int32_t length);
  // A read-only pane keeps none of Tab, Enter and Escape: they act on the form.
  LRESULT DialogCode(MSG& msg) override;
  // The window class in use, "RICHEDIT50W" or "RichEdit20W".
  static const wchar_t* ClassName();
};

}  // namespace lexmora
