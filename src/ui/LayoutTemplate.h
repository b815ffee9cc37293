#pragma once
// The forms' layout resources read into a structure, without windows.
//
// A layout is a DIALOGEX template (DLGTEMPLATEEX, then DWORD-aligned DLGITEMTEMPLATEEX items).
// The reader takes its bytes as they are and checks every read against their end; what the
// numbers mean (pixels at 96 DPI, help ids naming panels) is the form's business (ui/Form.h).
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace lexmora {

struct TLayoutItem {
  DWORD helpId = 0;
  DWORD exStyle = 0;
  DWORD style = 0;
  // x, y, x + cx, y + cy as the template gives them.
  RECT bounds{};
  DWORD id = 0;
  // The window class; a predefined class given by its ordinal is given here by its name.
  std::wstring className;
  // Empty where the template gives none or an ordinal (a resource id).
  std::wstring text;
};

struct TLayoutFont {
  int points = 0;
  int weight = 0;
  bool italic = false;
  BYTE charSet = 0;
  std::wstring faceName;
};

struct TLayoutTemplate {
  DWORD exStyle = 0;
  DWORD style = 0;
  int width = 0;
  int height = 0;
  // Empty where the template names no class (or names one by an ordinal).
  std::wstring className;
  std::wstring caption;
  // Present when the style has DS_SETFONT (or DS_SHELLFONT).
  bool hasFont = false;
  TLayoutFont font;
  std::vector<TLayoutItem> items;
};

// Reads the template held in `size` bytes at `data` (a null `data` only with `size` 0). Raises
// Exception: "Form layout is not a DIALOGEX" when it starts as no DIALOGEX does, "Invalid form
// layout resource" when it ends before the last of its items does, and "Unknown control class %u
// in form layout" for a class ordinal that names no predefined class. Bytes after the last item
// are not read.
TLayoutTemplate ReadLayoutTemplate(const BYTE* data, size_t size);

}  // namespace lexmora
