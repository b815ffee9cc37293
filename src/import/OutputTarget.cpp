#include "import/OutputTarget.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "import/SourceFiles.h"

namespace lexmora::import {

namespace {

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

constexpr wchar_t kTemporarySuffix[] = L".lexmora-import.tmp";

TemporaryFile::TemporaryFile(const std::wstring& output)
    : path_(TemporaryNameFor(output, kTemporarySuffix)) {
  const std::wstring folder = output.substr(0, output.find_last_of(L"\\/") + 1);
  RemoveLeftoverTemporaries(folder, std::wstring(L"*") + kTemporarySuffix);
  file_.Reset(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_)
    throw EImportError("Cannot create a temporary file in \"" + PathText(folder) +
                       "\": " + SystemText(GetLastError()));
}

TemporaryFile::~TemporaryFile() {
  if (path_.empty())
    return;
  file_.Reset();
  DeleteFileW(path_.c_str());
}

void TemporaryFile::MoveOnto(const std::wstring& output) {
  if (!CloseHandle(file_.Release()))
    throw EImportError("Cannot write \"" + PathText(path_) + "\": " + SystemText(GetLastError()));
  if (!MoveFileExW(path_.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING))
    throw EImportError("Cannot replace \"" + PathText(output) + "\": " +
                       SystemText(GetLastError()) + " (is the dictionary open in Lexmora?)");
  path_.clear();
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
  temporary_.emplace(path_);
}

void OutputTarget::Commit() {
  temporary_->MoveOnto(path_);
}

}  // namespace lexmora::import
