#include "base/Text.h"

#include <windows.h>

#include <vector>

namespace lexmora {

std::wstring ToWide(const std::string& text) {
  if (text.empty())
    return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty())
    return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string ProgramFolder() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0)
      return {};
    if (n < buf.size()) {
      std::string path(buf.data(), n);
      return path.substr(0, path.find_last_of("\\/:") + 1);
    }
    buf.resize(buf.size() * 2);
  }
}

}  // namespace lexmora
