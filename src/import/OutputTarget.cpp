#include "import/OutputTarget.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "import/SourceFiles.h"

namespace lexmora::import {

namespace {

constexpr wchar_t kTemporarySuffix[] = L".lexmora-import.tmp";

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0)
    throw EImportError("Invalid output name \"" + PathText(path) +
                       "\": " + SystemText(GetLastError()));
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  full.resize(length);
  return full;
}

std::vector<FileIdentity> SourceIdentities(const std::vector<SourceSet>& sources) {
  std::vector<FileIdentity> identities;
  for (const SourceSet& set : sources) {
    for (const std::wstring* file : {&set.primary, &set.data, &set.index, &set.synonyms}) {
      if (file->empty())
        continue;
      if (const std::optional<FileIdentity> identity = IdentityOf(*file))
        identities.push_back(*identity);
    }
  }
  return identities;
}

// Refuses to replace `path` (described as `what`) when it is a folder, one of the sources or
// read-only. A file that does not exist passes.
void CheckReplaceable(const std::wstring& path, const std::string& what,
                      const std::vector<FileIdentity>& sources) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return;
  const std::string named = what + " \"" + PathText(path) + "\"";
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    throw EImportError(named + " is a folder");
  const std::optional<FileIdentity> identity = IdentityOf(path);
  for (const FileIdentity& source : sources) {
    if (identity == source)
      throw EImportError(named + " is one of the sources");
  }
  if (attributes & FILE_ATTRIBUTE_READONLY)
    throw EImportError(named +
                       " is read-only, so it is left as it is: clear its read-only attribute "
                       "to replace it, or choose another name");
}

// A dictionary that the program holds open cannot be replaced: its handle does not share
// deletion.
void CheckNotInUse(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  if (!file && GetLastError() == ERROR_SHARING_VIOLATION)
    throw EImportError("Cannot replace \"" + PathText(path) +
                       "\": " + SystemText(ERROR_SHARING_VIOLATION) +
                       " (is the dictionary open in Lexmora?)");
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file || !GetFileInformationByHandle(file.Get(), &info))
    return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

OutputTarget::OutputTarget(const std::wstring& output, const std::vector<SourceSet>& sources)
    : path_(FullPath(output)), indexPath_(path_.substr(0, path_.size() - 4) + L".ind") {
  const size_t slash = path_.find_last_of(L"\\/");
  const std::wstring folder = path_.substr(0, slash == std::wstring::npos ? 0 : slash + 1);
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw EImportError("The folder \"" + PathText(folder) + "\" does not exist");
  const std::vector<FileIdentity> identities = SourceIdentities(sources);
  CheckReplaceable(path_, "The output", identities);
  CheckReplaceable(indexPath_, "The index", identities);
  CheckNotInUse(path_);
  try {
    temporary_.emplace(path_, kTemporarySuffix, std::wstring(L"*") + kTemporarySuffix);
  } catch (const EInOutError& e) {
    throw EImportError("Cannot create a temporary file in \"" + PathText(folder) +
                       "\": " + SystemText(e.SystemCode()));
  }
}

void OutputTarget::Commit() {
  try {
    temporary_->Close();
  } catch (const EInOutError& e) {
    throw EImportError("Cannot write \"" + PathText(temporary_->Path()) +
                       "\": " + SystemText(e.SystemCode()));
  }
  try {
    temporary_->MoveOntoTarget();
  } catch (const EInOutError& e) {
    throw EImportError("Cannot replace \"" + PathText(path_) + "\": " + SystemText(e.SystemCode()) +
                       " (is the dictionary open in Lexmora?)");
  }
}

}  // namespace lexmora::import
