#include "base/TemporaryFile.h"

#include <string_view>

#include "base/Errors.h"

namespace lexmora {

namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The search also matches short (8.3) names, so each long name is checked again.
bool MatchesPattern(std::wstring_view name, std::wstring_view pattern) {
  const size_t star = pattern.find(L'*');
  if (star == std::wstring_view::npos)
    return SameText(name, pattern);
  const std::wstring_view head = pattern.substr(0, star), tail = pattern.substr(star + 1);
  return name.size() >= head.size() + tail.size() && SameText(name.substr(0, head.size()), head) &&
         SameText(name.substr(name.size() - tail.size()), tail);
}

// Deletes the files of `folder` (ending in a separator, or empty for the current folder) whose
// names match `pattern` and that no writer holds open.
void RemoveLeftovers(const std::wstring& folder, const std::wstring& pattern) {
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((folder + pattern).c_str(), &found));
  if (!search)
    return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        MatchesPattern(found.cFileName, pattern)) {
      DeleteFileW((folder + found.cFileName).c_str());  // refused while its writer holds it
    }
  } while (FindNextFileW(search.Get(), &found));
}

}  // namespace

TemporaryFile::TemporaryFile(const std::wstring& target, const std::wstring& suffix,
                             const std::wstring& leftovers)
    : target_(target),
      path_(target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetCurrentThreadId()) + suffix) {
  RemoveLeftovers(target.substr(0, target.find_last_of(L"\\/") + 1), leftovers);
  file_.Reset(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_)
    RaiseLastError();
}

TemporaryFile::~TemporaryFile() {
  file_.Reset();
  if (!moved_)
    DeleteFileW(path_.c_str());
}

void TemporaryFile::Close() {
  if (file_ && !CloseHandle(file_.Release()))
    RaiseLastError();
}

void TemporaryFile::MoveOntoTarget() {
  Close();
  if (!MoveFileExW(path_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING))
    RaiseLastError();
  moved_ = true;
}

}  // namespace lexmora
