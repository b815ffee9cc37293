#include "ui/RichEdit.h"

#include <richedit.h>

#include "base/Errors.h"

namespace lexmora {

const wchar_t* TRichEdit::ClassName() {
  // The library stays loaded for the life of the process, as its window class must.
  static const wchar_t* const name = []() -> const wchar_t* {
    if (LoadLibraryW(L"Msftedit.dll") != nullptr)
      return L"RICHEDIT50W";
    if (LoadLibraryW(L"riched20.dll") != nullptr)
      return L"RichEdit20W";
    throw Exception("Cannot load the rich edit control");
  }();
  return name;
}

void TRichEdit::Create(HWND parent, DWORD extraStyle, int left, int top, int width, int height,
                       int id) {
  CreateChild(parent, ClassName(), L"",
              WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_NOHIDESEL | extraStyle, 0, left, top,
              width, height, id);
}

int TRichEdit::LineCount() const noexcept {
  return static_cast<int>(SendMessageW(Handle(), EM_GETLINECOUNT, 0, 0));
}

std::wstring TRichEdit::Line(int index) const {
  LRESULT start = SendMessageW(Handle(), EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (start < 0)
    return {};
  LRESULT length = SendMessageW(Handle(), EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  // EM_GETLINE takes the buffer size in its first WORD.
  std::wstring buffer(static_cast<size_t>(std::max<LRESULT>(length, 1)) + 1, L'\0');
  *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(buffer.size());
  LRESULT copied = SendMessageW(Handle(), EM_GETLINE, static_cast<WPARAM>(index),
                                reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<size_t>(copied));
  while (!buffer.empty() && (buffer.back() == L'\r' || buffer.back() == L'\n'))
    buffer.pop_back();
  return buffer;
}

LRESULT TRichEdit::DialogCode(MSG& msg) {
  // Asked without the message: given one, the control switches for good into a dialog mode in
  // which Escape posts WM_CLOSE to its parent and Tab sends it WM_NEXTDLGCTL, meant for a
  // dialog box; on a form these would close the window and keep the focus in the pane.
  const LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, 0);
  return code & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
}

void TRichEdit::SetSelection(int32_t start, int32_t length) {
  CHARRANGE range{start, start + length};
  SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

}  // namespace lexmora
