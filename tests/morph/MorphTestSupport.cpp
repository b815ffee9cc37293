#include "MorphTestSupport.h"

#include "base/Text.h"

namespace lexmora::test {

std::wstring ShippedMorphology() {
  return ToWide(LEXMORA_MORPHOLOGY_DATA);
}

std::string ReadShipped(const std::wstring& file) {
  const Bytes bytes = ReadBytes(ShippedMorphology() + file);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::wstring& path, const std::string& bytes) {
  WriteBytes(path, Bytes(bytes.begin(), bytes.end()));
}

std::string Joined(const std::vector<std::wstring>& words) {
  std::wstring all;
  for (const std::wstring& word : words)
    all += (all.empty() ? L"" : L", ") + word;
  return ToUtf8(all);
}

}  // namespace lexmora::test
