#include "store/TextCompare.h"

#include <algorithm>
#include <vector>

namespace lexmora {

const wchar_t* LowerCaseTable() {
  static const std::vector<wchar_t> table = [] {
    std::vector<wchar_t> units(0x10000);
    for (size_t c = 0; c < units.size(); ++c)
      units[c] = static_cast<wchar_t>(c);
    CharLowerBuffW(units.data(), 0xD800);
    CharLowerBuffW(units.data() + 0xE000, 0x2000);
    return units;
  }();
  return table.data();
}

void LowerCaseUnits(wchar_t* text, size_t count) {
  if (std::any_of(text, text + count, IsSurrogate)) {
    CharLowerBuffW(text, static_cast<DWORD>(count));
    return;
  }
  const wchar_t* table = LowerCaseTable();
  for (size_t k = 0; k < count; ++k)
    text[k] = table[static_cast<uint16_t>(text[k])];
}

}  // namespace lexmora
