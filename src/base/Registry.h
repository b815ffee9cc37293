#pragma once
// A registry key object: a root key, an access mask and at most one open ("current") key under
// the root. Names are 8-bit strings in the system code page; string data is either that or UTF-16
// (for names the code page may not spell).
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Handle.h"

namespace lexmora {

class Registry {
 public:
  explicit Registry(HKEY root, REGSAM access = KEY_ALL_ACCESS) noexcept
      : root_(root), access_(access) {}
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  HKEY RootKey() const noexcept { return root_; }
  REGSAM Access() const noexcept { return access_; }
  HKEY CurrentKey() const noexcept { return key_.Get(); }

  // Opens the subkey `name` of the root key with the object's access; when it does not exist
  // and canCreate is true, creates it as a non-volatile key. On success the opened key becomes
  // the current key (closing the previous one); on failure the current key is left as it was.
  bool OpenKey(const std::string& name, bool canCreate);
  // The same for a name in UTF-16, which may hold letters the system code page lacks.
  bool OpenKey(const std::wstring& name, bool canCreate);
  void CloseKey() noexcept { key_.Reset(); }

  // True when the value can be queried; false with no current key.
  bool ValueExists(const std::string& name) const;

  struct ValueInfo {
    DWORD type = REG_NONE;
    DWORD size = 0;  // bytes of data
  };
  // The type and data size of a value; nothing when it cannot be queried (or with no current key).
  std::optional<ValueInfo> Info(const std::string& name) const;

  // Each write replaces any value of the same name and raises ERegistryException
  // "Failed to set data for '<name>'" when it fails (also with no current key).
  void WriteString(const std::string& name, const std::string& value);  // REG_SZ with its NUL
  // REG_SZ written in UTF-16 (RegSetValueExW), which the 8-bit read gives back unchanged where the
  // code page spells it.
  void WriteString(const std::string& name, const std::wstring& value);
  void WriteInteger(const std::string& name, int32_t value);  // REG_DWORD
  void WriteBool(const std::string& name, bool value);        // REG_DWORD 1 or 0
  // REG_MULTI_SZ in UTF-16: each string with its NUL, then one more NUL. The strings must not
  // be empty or hold a NUL (such a list could not be read back as written).
  void WriteStrings(const std::string& name, const std::vector<std::wstring>& values);
  // Removes the value; a value that does not exist is no failure. Raises "Failed to set data
  // for '<name>'" when it cannot be removed.
  void DeleteValue(const std::string& name);

  // Each read raises ERegistryException "Failed to get data for '<name>'" when the value cannot
  // be queried (missing, no current key, an integer of more than 4 bytes) and
  // "Invalid data type for '<name>'" when it has the wrong type.
  // ReadString accepts REG_SZ and REG_EXPAND_SZ (not expanded); the text ends at its first NUL.
  std::string ReadString(const std::string& name) const;
  // The same, read in UTF-16 (RegQueryValueExW): exact whatever the code page.
  std::wstring ReadWideString(const std::string& name) const;
  // ReadInteger requires REG_DWORD; a value of fewer than 4 bytes is zero-extended.
  int32_t ReadInteger(const std::string& name) const;
  // Read as an integer; any non-zero value is true.
  bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
  // The strings of a REG_MULTI_SZ value, read in UTF-16, in order; the empty strings between
  // NULs (the list's end, or an empty string another program stored) are left out, and data
  // without its final NULs ends all the same.
  std::vector<std::wstring> ReadStrings(const std::string& name) const;

 private:
  HKEY root_;
  REGSAM access_;
  RegKey key_;
};

}  // namespace lexmora
