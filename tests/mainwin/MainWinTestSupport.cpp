#include "MainWinTestSupport.h"

#include <richedit.h>

#include <cstring>
#include <stdexcept>

#include "TestFiles.h"
#include "base/Handle.h"
#include "base/Text.h"

namespace lexmora::test {

namespace {

struct MemoryDcTraits {
  static HDC Invalid() noexcept { return nullptr; }
  static void Close(HDC dc) noexcept { DeleteDC(dc); }
};
using MemoryDC = UniqueHandle<HDC, MemoryDcTraits>;

HKEY OpenSettingsKey() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Lexmora", 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the settings key");
  }
  return key;
}

std::function<void()>& Pending() {
  static std::function<void()> pending;
  return pending;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  std::function<void()> action = std::move(Pending());
  Pending() = nullptr;
  if (action)
    action();
}

}  // namespace

std::optional<std::pair<DWORD, std::vector<BYTE>>> Stored(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Lexmora", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  std::optional<std::pair<DWORD, std::vector<BYTE>>> result;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size);
    RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
    result.emplace(type, data);
  }
  RegCloseKey(key);
  return result;
}

DWORD StoredDword(const std::string& name) {
  auto value = Stored(name);
  if (!value || value->first != REG_DWORD || value->second.size() != 4)
    return kNotStored;
  DWORD v;
  memcpy(&v, value->second.data(), 4);
  return v;
}

TFontSpec PaneFontOf(const TRichEdit& pane) {
  CHARFORMATW format{};
  format.cbSize = sizeof(format);
  SendMessageW(pane.Handle(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  return {ToAnsi(format.szFaceName), static_cast<int>(format.yHeight / 20)};
}

bool Topmost(HWND hwnd) {
  return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void StoreRaw(const std::string& name, DWORD type, const std::vector<BYTE>& data) {
  HKEY key = OpenSettingsKey();
  LONG rc = RegSetValueExA(key, name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                           static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS)
    throw std::runtime_error("cannot store " + name);
}

void StoreDword(const std::string& name, DWORD value) {
  StoreRaw(name, REG_DWORD,
           {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
            static_cast<BYTE>(value >> 24)});
}

void StoreString(const std::string& name, const std::string& value) {
  std::vector<BYTE> data(value.begin(), value.end());
  data.push_back(0);
  StoreRaw(name, REG_SZ, data);
}

TestDictionaries::TestDictionaries() : folder_(ProgramFolder() + "Dictionaries\\") {
  if (CreateDirectoryA(folder_.c_str(), nullptr)) {
    madeFolder_ = true;
  } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
    throw std::runtime_error("cannot create " + folder_);
  }
}

TestDictionaries::~TestDictionaries() {
  for (const std::string& name : names_) {
    DeleteFileA((folder_ + name + ".dat").c_str());
    DeleteFileA((folder_ + name + ".ind").c_str());
    DeleteFileA((folder_ + name + ".wix").c_str());
    RemoveDirectoryA((folder_ + name + ".dat").c_str());
  }
  if (madeFolder_)
    RemoveTree(folder_);
}

void TestDictionaries::Add(const std::string& name, const std::vector<std::wstring>& entries) {
  WriteBytes(folder_ + name + ".dat", DictionaryBytes(entries));
  names_.push_back(name);
}

void TestDictionaries::AddFolder(const std::string& name) {
  if (!CreateDirectoryA((folder_ + name + ".dat").c_str(), nullptr)) {
    throw std::runtime_error("cannot create folder " + name + ".dat");
  }
  names_.push_back(name);
}

void RunSoon(std::function<void()> action) {
  Pending() = std::move(action);
  if (SetTimer(nullptr, 0, 20, RunPending) == 0)
    throw std::runtime_error("SetTimer failed");
}

void Pump() {
  for (int i = 0; i < 5; ++i) {
    Application().ProcessMessages();
    Sleep(10);
  }
}

int ShrinkToSmallestWidth(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  SetWindowPos(window, nullptr, 0, 0, 1, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(window, &r);
  return r.right - r.left;
}

int ShrinkToSmallestHeight(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, 1,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(window, &r);
  return r.bottom - r.top;
}

std::vector<std::string> ButtonsCutOff(HWND bar) {
  RECT client{};
  GetClientRect(bar, &client);
  std::vector<std::string> cut;
  const auto count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT r{};
    SendMessageW(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    if (r.left < client.left || r.right > client.right || r.top < client.top ||
        r.bottom > client.bottom) {
      cut.push_back(std::to_string(i) + ": " + std::to_string(r.left) + "-" +
                    std::to_string(r.right));
    }
  }
  return cut;
}

std::vector<uint32_t> ShownPixels(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0)
    return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const WindowDC shown(window);
  const GdiObject bitmap(CreateDIBSection(shown.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const MemoryDC copy(CreateCompatibleDC(shown.Get()));
  if (!bitmap || !copy || bits == nullptr)
    return {};
  HGDIOBJ old = SelectObject(copy.Get(), bitmap.Get());
  BitBlt(copy.Get(), 0, 0, width, height, shown.Get(), 0, 0, SRCCOPY);
  SelectObject(copy.Get(), old);
  GdiFlush();
  const auto* first = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> pixels(first, first + static_cast<size_t>(width) * height);
  for (uint32_t& p : pixels)
    p &= 0x00FFFFFF;
  return pixels;
}

bool ShowsItsLatestPaint(HWND window) {
  Pump();
  const std::vector<uint32_t> shown = ShownPixels(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump();
  return !shown.empty() && shown == ShownPixels(window);
}

std::wstring PaneText(const TControl& pane) {
  std::wstring text = pane.Text(), out;
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == L'\r' && k + 1 < text.size() && text[k + 1] == L'\n')
      continue;
    out.push_back(text[k] == L'\r' ? L'\n' : text[k]);
  }
  while (!out.empty() && out.back() == L'\n')
    out.pop_back();
  return out;
}

HWND SearchEdit(const TfmMain& form) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  GetComboBoxInfo(form.cbSearch.Handle(), &info);
  return info.hwndItem;
}

void Type(const TfmMain& form, const std::wstring& keys) {
  for (wchar_t c : keys)
    PostMessageW(SearchEdit(form), WM_CHAR, c, 0);
  Pump();
}

void Choose(const std::wstring& name) {
  TListBox& list = fmChooseDict->lbFiles;
  for (int32_t k = 0; k < list.Count(); ++k) {
    if (list.Item(k) == name)
      list.SetItemIndex(k);
  }
  fmChooseDict->SetModalResult(mrOk);
}

void ChooseWhenShown(const std::wstring& name) {
  RunSoon([name] {
    if (fmChooseDict != nullptr && fmChooseDict->InModal()) {
      Choose(name);
    } else {
      ChooseWhenShown(name);
    }
  });
}

}  // namespace lexmora::test
