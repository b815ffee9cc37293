#pragma once
// The product name and file version from a version resource.
#include <string>

namespace lexmora {

struct TAppInfo {
  std::string FileVersion;
  std::string ProductName;
};

// Fills info from the running executable's version resource. Without a readable resource, or
// with a translation value shorter than 4 bytes, info is left unchanged; a string value that
// is missing or empty in the first translation's string table reads "n/a".
void GetAppInfo(TAppInfo& info);

// The same for the version resource of the file fileName (the 8-bit name in the system code page).
void GetAppInfoFrom(const std::wstring& fileName, TAppInfo& info);
void GetAppInfoFrom(const std::string& fileName, TAppInfo& info);

}  // namespace lexmora
