#include "ProgramDriver.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <stdexcept>

#include "MainIds.h"
#include "RemoteWindow.h"

namespace lexmora::e2e {

namespace {

constexpr char kSettingsKey[] = "SOFTWARE\\Lexmora";
using remote::FindDescendantById;
using remote::kMainClass;
using remote::kMainTitle;
constexpr wchar_t kSeparator = 0x00B7;
constexpr size_t kPreviewChars = 50;
constexpr UINT kMessageTimeoutMs = 3000;

std::string ModuleFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

// A path in the system code page in UTF-16.
std::wstring Wide(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  out.resize(
      static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                              out.data(), static_cast<int>(out.size()))));
  return out;
}

void CopyOrThrow(const std::wstring& from, const std::wstring& to) {
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " + Narrow(from) + " to " + Narrow(to) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
}

void MakeFolder(const std::wstring& path) {
  if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    throw std::runtime_error("cannot create " + Narrow(path));
  }
}

void CopyProgram(const std::wstring& folder) {
  const std::wstring exe = Wide(StagedFolder()) + L"Lexmora.exe";
  if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
    throw std::runtime_error("the staged program " + Narrow(exe) +
                             " does not exist; build target Lexmora");
  }
  CopyOrThrow(exe, folder + L"Lexmora.exe");
}

std::wstring Decode(const test::Bytes& bytes) {
  std::wstring text(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return text;
}

// The line ends of a pane as "\n", none at the end.
std::wstring NormalizeLines(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      out += L'\n';
      if (i + 1 < text.size() && text[i + 1] == L'\n')
        ++i;
    } else {
      out += text[i];
    }
  }
  while (!out.empty() && out.back() == L'\n')
    out.pop_back();
  return out;
}

void AppendLe32(test::Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The tool bar's anchor highlight, or nothing when the program does not answer.
std::optional<bool> AnchorHighlight(HWND toolBar) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(toolBar, TB_GETANCHORHIGHLIGHT, 0, 0, SMTO_ABORTIFHUNG,
                           kMessageTimeoutMs, &result)) {
    return std::nullopt;
  }
  return result != 0;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  // Most waits end within a few tens of milliseconds; a long one (a timeout of the program's,
  // a start) asks less often as it goes on, since each question costs the program and the Wine
  // server some work while the other tests need the processors.
  constexpr DWORD kFirstPauseMs = 10, kLongestPauseMs = 100;
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (DWORD pause = kFirstPauseMs;; pause = std::min(pause + pause / 2, kLongestPauseMs)) {
    if (done())
      return true;
    if (GetTickCount64() >= end)
      return false;
    Sleep(pause);
  }
}

std::string StagedFolder() {
  std::string rel = LEXMORA_STAGED_FOLDER;  // relative to this test program's folder
  char full[MAX_PATH];
  GetFullPathNameA((ModuleFolder() + rel).c_str(), MAX_PATH, full, nullptr);
  std::string path = full;
  if (path.back() != '\\')
    path += '\\';
  return path;
}

ProgramFolder::ProgramFolder() : folder_(Wide(dir_.Path())) {
  CopyProgram(folder_);
}

ProgramFolder::ProgramFolder(const std::wstring& folderName)
    : folder_(Wide(dir_.Path()) + folderName + L"\\") {
  MakeFolder(folder_);
  CopyProgram(folder_);
}

std::string ProgramFolder::Path() const {
  const int n = WideCharToMultiByte(CP_ACP, 0, folder_.data(), static_cast<int>(folder_.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, folder_.data(), static_cast<int>(folder_.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string ProgramFolder::DataFile(const std::string& name) const {
  return Path() + "Dictionaries\\" + name + ".dat";
}
std::string ProgramFolder::IndexFile(const std::string& name) const {
  return Path() + "Dictionaries\\" + name + ".ind";
}
std::wstring ProgramFolder::WideDataFile(const std::wstring& name) const {
  return folder_ + L"Dictionaries\\" + name + L".dat";
}
std::wstring ProgramFolder::WideIndexFile(const std::wstring& name) const {
  return folder_ + L"Dictionaries\\" + name + L".ind";
}

void ProgramFolder::AddShippedDictionary(const std::string& name, bool withIndex) {
  MakeFolder(folder_ + L"Dictionaries");
  CopyOrThrow(Wide(StagedFolder() + "Dictionaries\\" + name + ".dat"), WideDataFile(Wide(name)));
  if (withIndex)
    test::WriteBytes(WideIndexFile(Wide(name)), FileOrderIndex(WideDataFile(Wide(name))));
}

void ProgramFolder::AddDictionary(const std::string& name,
                                  const std::vector<std::wstring>& entries) {
  AddDictionary(Wide(name), entries, true);
}

void ProgramFolder::AddDictionary(const std::wstring& name,
                                  const std::vector<std::wstring>& entries, bool withIndex) {
  MakeFolder(folder_ + L"Dictionaries");
  std::wstring text = L"\uFEFFTitle\r\n";
  for (const std::wstring& entry : entries)
    text += kSeparator + entry;
  test::WriteBytes(WideDataFile(name), test::Utf16Le(text));
  if (withIndex)
    test::WriteBytes(WideIndexFile(name), FileOrderIndex(WideDataFile(name)));
}

void ProgramFolder::AddConversionTables() {
  MakeFolder(folder_ + L"Data");
  for (const wchar_t* file : {L"conv_to.txt", L"conv_from.txt"})
    CopyOrThrow(Wide(StagedFolder()) + L"Data\\" + file, folder_ + L"Data\\" + file);
}

void ProgramFolder::AddMorphology(const std::vector<std::wstring>& languages) {
  MakeFolder(folder_ + L"Morphology");
  const std::wstring staged = Wide(StagedFolder()) + L"Morphology\\";
  for (const std::wstring& language : languages) {
    for (const wchar_t* extension : {L".aff", L".dic", L".exc"}) {
      const std::wstring file = language + extension;
      if (GetFileAttributesW((staged + file).c_str()) != INVALID_FILE_ATTRIBUTES)
        CopyOrThrow(staged + file, folder_ + L"Morphology\\" + file);
    }
  }
}

std::vector<std::wstring> ReadEntries(const std::string& dataPath) {
  const std::wstring text = Decode(test::ReadBytes(dataPath));
  std::vector<std::wstring> entries;
  size_t pos = text.find(kSeparator);
  while (pos != std::wstring::npos) {
    size_t next = text.find(kSeparator, pos + 1);
    entries.push_back(
        text.substr(pos + 1, next == std::wstring::npos ? std::wstring::npos : next - pos - 1));
    pos = next;
  }
  return entries;
}

test::Bytes FileOrderIndex(const std::string& dataPath) {
  return FileOrderIndex(Wide(dataPath));
}

test::Bytes FileOrderIndex(const std::wstring& dataPath) {
  HANDLE file = CreateFileW(dataPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot open " + Narrow(dataPath));
  FILETIME written{};
  BOOL ok = GetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
  if (!ok)
    throw std::runtime_error("cannot read the time of " + Narrow(dataPath));

  const test::Bytes data = test::ReadBytes(dataPath);
  test::Bytes index;
  AppendLe32(index, written.dwLowDateTime);
  AppendLe32(index, written.dwHighDateTime);
  for (size_t p = 0; p + 1 < data.size(); p += 2) {
    if (data[p] == 0xB7 && data[p + 1] == 0x00)
      AppendLe32(index, static_cast<uint32_t>(p + 2));
  }
  return index;
}

std::wstring MainPaneText(const std::wstring& entry) {
  std::wstring out;
  for (wchar_t c : entry) {
    if (c == L'\r') {
      out += L'\n';
    } else if (c != L'\n') {
      out += c;
    }
  }
  while (!out.empty() && out.back() == L'\n')
    out.pop_back();
  return out;
}

std::wstring PreviewText(const std::wstring& entry) {
  std::wstring out;
  for (wchar_t c : entry.substr(0, kPreviewChars)) {
    if (c == L'\r') {
      out += L' ';
    } else if (c != L'\n') {
      out += c;
    }
  }
  return out + kBeyondTheEnd;
}

RegValue DwordValue(uint32_t value) {
  RegValue v{REG_DWORD, {}};
  AppendLe32(v.data, value);
  return v;
}

RegValue StringValue(const std::string& value) {
  RegValue v{REG_SZ, test::Bytes(value.begin(), value.end())};
  v.data.push_back(0);
  return v;
}

std::string Describe(const RegValue& value) {
  std::string out;
  switch (value.type) {
    case REG_SZ:
      out = "REG_SZ";
      break;
    case REG_DWORD:
      out = "REG_DWORD";
      break;
    default:
      out = "type " + std::to_string(value.type);
  }
  if (value.type == REG_DWORD && value.data.size() == 4) {
    uint32_t v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                 (static_cast<uint32_t>(value.data[3]) << 24);
    return out + " " + std::to_string(v);
  }
  out += " [";
  for (uint8_t b : value.data) {
    if (b >= 32 && b < 127) {
      out += static_cast<char>(b);
    } else {
      out += "\\x" + std::to_string(b);
    }
  }
  return out + "]";
}

void ClearSettings() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
}

void WriteSetting(const std::string& name, const RegValue& value, HKEY root) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the settings key");
  }
  LONG rc = RegSetValueExA(key, name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS)
    throw std::runtime_error("cannot write the setting " + name);
}

std::optional<RegValue> ReadSetting(const std::string& name, HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  RegValue v;
  DWORD size = 0;
  std::optional<RegValue> result;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    v.data.resize(size);
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, v.data.data(), &size) ==
        ERROR_SUCCESS) {
      v.data.resize(size);
      result = v;
    }
  }
  RegCloseKey(key);
  return result;
}

std::vector<std::string> SettingNames(HKEY root) {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;
  }
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, size);
  }
  RegCloseKey(key);
  std::sort(names.begin(), names.end());
  return names;
}

std::wstring ClassOf(HWND wnd) {
  wchar_t name[256] = L"";
  GetClassNameW(wnd, name, 256);
  return name;
}

bool HasClass(HWND wnd, const std::wstring& name) {
  const std::wstring got = ClassOf(wnd);
  return CompareStringOrdinal(got.c_str(), static_cast<int>(got.size()), name.c_str(),
                              static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

std::wstring TextOf(HWND wnd) {
  return remote::TextOf(wnd, kMessageTimeoutMs).value_or(L"<no answer>");
}

std::wstring PaneText(HWND pane) {
  return NormalizeLines(TextOf(pane));
}

HWND FindChild(HWND parent, const std::function<bool(HWND)>& match) {
  struct Search {
    const std::function<bool(HWND)>* match;
    HWND found;
  } search{&match, nullptr};
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if ((*s->match)(w)) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string Narrow(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

void TypeText(HWND wnd, const std::wstring& text) {
  for (wchar_t c : text)
    PostMessageW(wnd, WM_CHAR, c, 1);
}

void PressKey(HWND wnd, UINT vk) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(wnd, WM_KEYDOWN, vk, scan | 1);
  PostMessageW(wnd, WM_KEYUP, vk, scan | 1 | (1u << 30) | (1u << 31));
}

void SelectAll(HWND edit) {
  PostMessageW(edit, EM_SETSEL, 0, -1);
}

void ClickAt(HWND wnd, int x, int y) {
  PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void DoubleClickAt(HWND wnd, UINT down, int x, int y) {
  const UINT up = down + 1, dblclk = down + 2;  // WM_xBUTTONDOWN, WM_xBUTTONUP, WM_xBUTTONDBLCLK
  const WPARAM held = down == WM_LBUTTONDOWN   ? MK_LBUTTON
                      : down == WM_RBUTTONDOWN ? MK_RBUTTON
                                               : MK_MBUTTON;
  for (UINT press : {down, dblclk}) {
    PostMessageW(wnd, press, held, MAKELPARAM(x, y));
    PostMessageW(wnd, up, 0, MAKELPARAM(x, y));
  }
}

bool SendChord(HWND wnd, std::initializer_list<UINT> modifiers, UINT vk) {
  HWND root = GetAncestor(wnd, GA_ROOT);
  const DWORD theirs = GetWindowThreadProcessId(root, nullptr);
  const DWORD ours = GetCurrentThreadId();
  AttachThreadInput(ours, theirs, TRUE);
  SetForegroundWindow(root);
  AttachThreadInput(ours, theirs, FALSE);
  if (!WaitUntil([&] { return GetForegroundWindow() == root; }))
    return false;
  return SendKeys(modifiers, vk);
}

bool SendKeys(std::initializer_list<UINT> modifiers, UINT vk) {
  std::vector<INPUT> keys;
  auto key = [&](UINT code, bool release) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = static_cast<WORD>(code);
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    keys.push_back(in);
  };
  for (UINT m : modifiers)
    key(m, false);
  key(vk, false);
  key(vk, true);
  for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m)
    key(*m, true);
  return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

bool IsProgressWindow(HWND w) {
  const LONG style = GetWindowLongW(w, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(w, GWL_EXSTYLE);
  return (style & WS_CAPTION) != WS_CAPTION && (exStyle & WS_EX_TOPMOST) != 0 &&
         FindChild(w, [](HWND c) { return HasClass(c, PROGRESS_CLASSW); }) != nullptr &&
         FindChild(w, [](HWND c) { return TextOf(c) == L"OK"; }) != nullptr;
}

bool IsMessageBox(HWND w) {
  return HasClass(w, L"#32770") && TextOf(w) == kMainTitle;
}

bool SetClipboardText(const std::wstring& text) {
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (data == nullptr)
    return false;
  auto* units = static_cast<wchar_t*>(GlobalLock(data));
  std::copy(text.begin(), text.end(), units);
  units[text.size()] = L'\0';
  GlobalUnlock(data);
  // The program reads the clipboard when it is told of the change and may still hold it open.
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) {
    GlobalFree(data);
    return false;
  }
  const bool set = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, data) != nullptr;
  CloseClipboard();
  if (!set)
    GlobalFree(data);
  return set;
}

std::optional<std::wstring> ClipboardText() {
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 2000))
    return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = std::wstring(units, wcsnlen(units, GlobalSize(data) / sizeof(wchar_t)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

namespace {

LRESULT CALLBACK OtherWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY)
    PostQuitMessage(0);
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

}  // namespace

OtherWindow::OtherWindow() {
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(
      nullptr, 0,
      [](void* self) -> DWORD {
        auto* me = static_cast<OtherWindow*>(self);
        WNDCLASSW cls{};
        cls.lpfnWndProc = OtherWindowProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"LexmoraTestOtherWindow";
        cls.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        RegisterClassW(&cls);  // fails harmlessly when a window before this one registered it
        me->wnd_ = CreateWindowExW(0, cls.lpszClassName, L"Another program",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 300, 400, 300, nullptr,
                                   nullptr, cls.hInstance, nullptr);
        SetEvent(me->ready_);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
        return 0;
      },
      this, 0, nullptr);
  WaitForSingleObject(ready_, kWaitMs);
  if (wnd_ == nullptr)
    throw std::runtime_error("cannot create a window of another program");
}

OtherWindow::~OtherWindow() {
  PostMessageW(wnd_, WM_CLOSE, 0, 0);
  WaitForSingleObject(thread_, kWaitMs);
  CloseHandle(thread_);
  CloseHandle(ready_);
}

bool OtherWindow::ComeForward() const {
  SetForegroundWindow(wnd_);
  return WaitUntil([&] { return GetForegroundWindow() == wnd_; });
}

bool WaitForPostedMessages(const MainWindow& main, DWORD timeoutMs) {
  // The second round waits for what the messages of the first posted while they were handled.
  for (int round = 0; round < 2; ++round) {
    const std::optional<bool> before = AnchorHighlight(main.toolBar);
    if (!before)
      return false;
    PostMessageW(main.toolBar, TB_SETANCHORHIGHLIGHT, !*before, 0);
    if (!WaitUntil([&] { return AnchorHighlight(main.toolBar) == !*before; }, timeoutMs))
      return false;
  }
  return true;
}

::testing::AssertionResult TypeWord(const MainWindow& main, const std::wstring& word) {
  SelectAll(main.searchEdit);
  PostMessageW(main.searchEdit, WM_CHAR, VK_BACK, 1);
  if (!WaitUntil([&] { return main.SearchText().empty(); }))
    return ::testing::AssertionFailure()
           << "the search box kept \"" << Narrow(main.SearchText()) << "\" after a delete";
  for (size_t k = 0; k < word.size(); ++k) {
    PressKey(main.searchEdit, static_cast<UINT>(towupper(word[k])));
    if (!WaitUntil([&] { return main.SearchText() == word.substr(0, k + 1); })) {
      return ::testing::AssertionFailure()
             << "the search box got \"" << Narrow(main.SearchText()) << "\" after typing \""
             << Narrow(word.substr(0, k + 1)) << "\"";
    }
  }
  return ::testing::AssertionSuccess();
}

std::vector<std::wstring> MainWindow::Panes() const {
  return {PaneText(top1), PaneText(top2), PaneText(meaning), PaneText(bottom2), PaneText(bottom1)};
}

RunningProgram::RunningProgram(const std::string& exe) : RunningProgram(Wide(exe)) {}

RunningProgram::RunningProgram(const std::wstring& exe) {
  // Started from another folder than its own: every file it reads lies beside the executable.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, temp,
                      &startup, &info_)) {
    throw std::runtime_error("cannot start " + Narrow(exe) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
}

RunningProgram::~RunningProgram() {
  if (Running()) {
    for (HWND w : Windows())
      PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info_.hProcess, 3000) != WAIT_OBJECT_0) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);
    }
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool RunningProgram::Running() const {
  return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> RunningProgram::WaitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::optional<DWORD> RunningProgram::Close(DWORD timeoutMs) {
  MainWindow main = WaitForMainWindow(0);
  if (main)
    PostMessageW(main.wnd, WM_CLOSE, 0, 0);
  return WaitForExit(timeoutMs);
}

void RunningProgram::Hang() {
  SuspendThread(info_.hThread);
}

void RunningProgram::Resume() {
  ResumeThread(info_.hThread);
}

std::vector<HWND> RunningProgram::Windows() const {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{Pid(), {}};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == s->pid && IsWindowVisible(w))
          s->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND RunningProgram::WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : Windows()) {
          if (match(w)) {
            found = w;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

MainWindow RunningProgram::WaitForMainWindow(DWORD timeoutMs) const {
  MainWindow main;
  main.wnd = WaitForWindow(
      [](HWND w) { return HasClass(w, kMainClass) && TextOf(w) == kMainTitle; }, timeoutMs);
  if (!main)
    return main;
  main.toolBar = FindDescendantById(main.wnd, IDC_TOOLBAR);
  main.search = FindDescendantById(main.wnd, IDC_CBSEARCH);
  main.searchEdit = main.search ? FindWindowExW(main.search, nullptr, L"Edit", nullptr) : nullptr;
  main.top1 = FindDescendantById(main.wnd, IDC_RETOP1);
  main.top2 = FindDescendantById(main.wnd, IDC_RETOP2);
  main.meaning = FindDescendantById(main.wnd, IDC_REMEANING);
  main.bottom2 = FindDescendantById(main.wnd, IDC_REBOTTOM2);
  main.bottom1 = FindDescendantById(main.wnd, IDC_REBOTTOM1);
  if (!main.toolBar || !main.search || !main.searchEdit || !main.top1 || !main.top2 ||
      !main.meaning || !main.bottom2 || !main.bottom1) {
    throw std::runtime_error("the main window lacks one of its controls");
  }
  return main;
}

MainWindow RunningProgram::WaitForFirstEntry(DWORD timeoutMs) const {
  const ULONGLONG start = GetTickCount64();
  MainWindow main = WaitForMainWindow(timeoutMs);
  if (!main)
    return main;
  const DWORD left =
      static_cast<DWORD>(timeoutMs - std::min<ULONGLONG>(GetTickCount64() - start, timeoutMs));
  if (!WaitUntil([&] { return !PaneText(main.meaning).empty(); }, left))
    return MainWindow{};
  return main;
}

HWND RunningProgram::Focus() const {
  MainWindow main = WaitForMainWindow(0);
  if (!main)
    return nullptr;
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main.wnd, nullptr), &gui))
    return nullptr;
  return gui.hwndFocus;
}

std::string RunningProgram::DescribeWindows() const {
  std::string out = Running() ? "process running; windows:" : "process ended; windows:";
  for (HWND w : Windows()) {
    out += "\n  [" + Narrow(ClassOf(w)) + "] \"" + Narrow(TextOf(w)) + "\"";
    EnumChildWindows(
        w,
        [](HWND c, LPARAM p) -> BOOL {
          std::wstring text = TextOf(c);
          if (!text.empty()) {
            *reinterpret_cast<std::string*>(p) +=
                "\n    [" + Narrow(ClassOf(c)) + "] \"" + Narrow(text.substr(0, 120)) + "\"";
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
  }
  return out;
}

}  // namespace lexmora::e2e
