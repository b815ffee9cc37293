#include "shell/AppVersion.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"

namespace lexmora {

namespace {

std::wstring ModuleFileName() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0)
      return {};
    if (n < buf.size())
      return std::wstring(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

}  // namespace

void GetAppInfo(TAppInfo& info) {
  GetAppInfoFrom(ModuleFileName(), info);
}

void GetAppInfoFrom(const std::string& fileName, TAppInfo& info) {
  GetAppInfoFrom(ToWide(fileName), info);
}

void GetAppInfoFrom(const std::wstring& fileName, TAppInfo& info) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(fileName.c_str(), &handle);
  if (size == 0)
    return;
  // Whole wide characters, so that a text is never read past the end of the version data.
  std::vector<wchar_t> data((size + 1) / sizeof(wchar_t));
  if (!GetFileVersionInfoW(fileName.c_str(), 0, size, data.data()))
    return;

  void* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &translation, &length) ||
      translation == nullptr || length < 4) {
    return;
  }
  // The first language / code-page pair, two little-endian 16-bit words.
  const auto* bytes = static_cast<const unsigned char*>(translation);
  unsigned language = bytes[0] | (bytes[1] << 8);
  unsigned codePage = bytes[2] | (bytes[3] << 8);
  const std::string translationText = Format("%04X%04X", language, codePage);

  auto QueryVersionString = [&](const char* name) -> std::string {
    const std::wstring path =
        ToWide(Format("\\StringFileInfo\\%s\\%s", translationText.c_str(), name));
    void* value = nullptr;
    UINT valueLength = 0;
    if (VerQueryValueW(data.data(), path.c_str(), &value, &valueLength) && value != nullptr &&
        valueLength > 0) {
      // The text ends at its first NUL; it is never read past the end of the version data.
      const auto* text = static_cast<const wchar_t*>(value);
      const wchar_t* end = data.data() + data.size();
      if (text >= data.data() && text < end) {
        std::string result =
            ToAnsi(std::wstring(text, wcsnlen(text, static_cast<size_t>(end - text))));
        // Resource compilers store an empty string as its NUL alone: empty reads as absent.
        if (!result.empty())
          return result;
      }
    }
    return "n/a";
  };

  info.FileVersion = QueryVersionString("FileVersion");
  info.ProductName = QueryVersionString("ProductName");
}

}  // namespace lexmora
