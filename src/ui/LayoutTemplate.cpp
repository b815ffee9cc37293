#include "ui/LayoutTemplate.h"

#include <cstring>

#include "base/Errors.h"
#include "base/Text.h"

namespace lexmora {

namespace {

constexpr char kInvalidLayout[] = "Invalid form layout resource";

// Reads the template's fields in order; every read that would pass the end raises.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
  WORD Word() { return Take<WORD>(); }
  DWORD Dword() { return Take<DWORD>(); }
  short Short() { return Take<short>(); }
  BYTE Byte() { return Take<BYTE>(); }
  // sz_Or_Ord: empty, an ordinal (returned in `ordinal`), or a string.
  std::wstring SzOrOrd(WORD* ordinal = nullptr) {
    const WORD first = Word();
    if (first == 0)
      return {};
    if (first == 0xFFFF) {
      const WORD ord = Word();
      if (ordinal)
        *ordinal = ord;
      return {};
    }
    return std::wstring(1, static_cast<wchar_t>(first)) + Sz();
  }
  std::wstring Sz() {
    std::wstring s;
    for (WORD c = Word(); c != 0; c = Word())
      s.push_back(static_cast<wchar_t>(c));
    return s;
  }
  // Raises when the boundary lies beyond the end: the reads after it would start there.
  void AlignDword() {
    const size_t aligned = (at_ + 3) & ~size_t{3};
    if (aligned > size_)
      throw Exception(kInvalidLayout);
    at_ = aligned;
  }
  void Skip(size_t n) {
    if (n > size_ - at_)
      throw Exception(kInvalidLayout);
    at_ += n;
  }

 private:
  template <typename T>
  T Take() {
    if (size_ - at_ < sizeof(T))
      throw Exception(kInvalidLayout);
    T v;
    std::memcpy(&v, data_ + at_, sizeof(T));
    at_ += sizeof(T);
    return v;
  }
  const BYTE* data_;
  size_t size_;
  size_t at_ = 0;
};

const wchar_t* PredefinedClass(WORD ordinal) {
  switch (ordinal) {
    case 0x80:
      return L"Button";
    case 0x81:
      return L"Edit";
    case 0x82:
      return L"Static";
    case 0x83:
      return L"ListBox";
    case 0x84:
      return L"ScrollBar";
    case 0x85:
      return L"ComboBox";
    default:
      throw Exception(Format("Unknown control class %u in form layout", ordinal));
  }
}

TLayoutItem ReadItem(TemplateReader& in) {
  TLayoutItem item;
  in.AlignDword();
  item.helpId = in.Dword();
  item.exStyle = in.Dword();
  item.style = in.Dword();
  item.bounds.left = in.Short();
  item.bounds.top = in.Short();
  item.bounds.right = item.bounds.left + in.Short();
  item.bounds.bottom = item.bounds.top + in.Short();
  item.id = in.Dword();
  WORD ordinal = 0;
  item.className = in.SzOrOrd(&ordinal);
  if (item.className.empty())
    item.className = PredefinedClass(ordinal);
  item.text = in.SzOrOrd();
  in.Skip(in.Word());  // creation data
  return item;
}

}  // namespace

TLayoutTemplate ReadLayoutTemplate(const BYTE* data, size_t size) {
  TemplateReader in(data, size);
  if (in.Word() != 1 || in.Word() != 0xFFFF)
    throw Exception("Form layout is not a DIALOGEX");
  TLayoutTemplate layout;
  in.Dword();  // help id
  layout.exStyle = in.Dword();
  layout.style = in.Dword();
  const WORD count = in.Word();
  in.Short();  // x
  in.Short();  // y
  layout.width = in.Short();
  layout.height = in.Short();
  in.SzOrOrd();  // menu
  layout.className = in.SzOrOrd();
  layout.caption = in.Sz();
  layout.hasFont = (layout.style & (DS_SETFONT | DS_SHELLFONT)) != 0;
  if (layout.hasFont) {
    layout.font.points = in.Word();
    layout.font.weight = in.Word();
    layout.font.italic = in.Byte() != 0;
    layout.font.charSet = in.Byte();
    layout.font.faceName = in.Sz();
  }
  for (WORD i = 0; i < count; ++i)
    layout.items.push_back(ReadItem(in));
  return layout;
}

}  // namespace lexmora
