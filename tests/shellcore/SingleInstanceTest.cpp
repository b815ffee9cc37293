#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "RegistryTestUtil.h"
#include "base/Errors.h"
#include "shell/ConstU.h"
#include "shell/SingleInstance.h"

namespace lexmora {
namespace {

using test::DwordBytes;
using test::GetRaw;
using test::RawValue;
using test::SetRaw;
using test::StrBytes;

// The settings key of the test prefix is the program's real one: each test starts without it,
// and what was there before is put back afterwards.
class SettingsKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(kSettingsRoot, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      char name[256];
      for (DWORD i = 0;; ++i) {
        DWORD len = sizeof name;
        if (RegEnumValueA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
          break;
        }
        if (auto v = GetRaw(key, name))
          saved_.emplace_back(name, *v);
      }
      RegCloseKey(key);
      hadKey_ = true;
    }
    RegDeleteTreeA(kSettingsRoot, kSettingsKey);
  }
  void TearDown() override {
    RegDeleteTreeA(kSettingsRoot, kSettingsKey);
    if (hadKey_)
      Store(saved_);
  }

  // Creates the key with the given values.
  void Store(const std::vector<std::pair<std::string, RawValue>>& values) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(kSettingsRoot, kSettingsKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    for (const auto& [name, value] : values)
      SetRaw(key, name, value);
    RegCloseKey(key);
  }

 private:
  bool hadKey_ = false;
  std::vector<std::pair<std::string, RawValue>> saved_;
};

// The machine-wide key of earlier copies is not the settings key: its "Allow" applies no guard,
// and the check creates nothing anywhere.
TEST_F(SettingsKeyTest, NoKeyMeansNoGuardAndCreatesNothing) {
  test::ScratchKey machine(HKEY_LOCAL_MACHINE, kSettingsKey);
  SetRaw(machine.Get(), "Allow", {REG_DWORD, DwordBytes(0)});
  EXPECT_FALSE(MultipleInstancesForbidden());
  EXPECT_FALSE(test::KeyExists(kSettingsRoot, kSettingsKey));
  EXPECT_EQ(1u, test::ValueCount(machine.Get()));
}

TEST_F(SettingsKeyTest, GuardFollowsAllow) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, RawValue>> values;
    bool want;
  };
  const Case cases[] = {
      {"key without Allow", {{"Dict", {REG_SZ, StrBytes("x")}}}, false},
      {"Allow 0", {{"Allow", {REG_DWORD, DwordBytes(0)}}}, true},
      {"Allow 1", {{"Allow", {REG_DWORD, DwordBytes(1)}}}, false},
      {"Allow 5", {{"Allow", {REG_DWORD, DwordBytes(5)}}}, false},
      {"Allow -1", {{"Allow", {REG_DWORD, DwordBytes(0xFFFFFFFF)}}}, false},
      {"Allow 0 in two bytes", {{"Allow", {REG_DWORD, {0, 0}}}}, true},
      // A value of another kind counts as missing.
      {"Allow as text", {{"Allow", {REG_SZ, StrBytes("0")}}}, false},
      {"Allow as 4 binary bytes", {{"Allow", {REG_BINARY, {0, 0, 0, 0}}}}, false},
      {"Allow as a QWORD", {{"Allow", {REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0}}}}, false},
      {"Allow as 5 binary bytes", {{"Allow", {REG_BINARY, {0, 0, 0, 0, 0}}}}, false},
  };
  for (const auto& c : cases) {
    RegDeleteTreeA(kSettingsRoot, kSettingsKey);
    Store(c.values);
    EXPECT_EQ(c.want, MultipleInstancesForbidden()) << c.what;
    for (const auto& [name, value] : c.values) {
      EXPECT_EQ(value, GetRaw(kSettingsRoot, std::string(kSettingsKey), name))
          << c.what << ": " << name << " changed";
    }
  }
}

// The handle values the next few kernel objects of this process would get. Freed handle slots
// are reused, so they change only when a handle is left open in between.
std::vector<uintptr_t> NextHandleValues() {
  std::vector<HANDLE> probes;
  for (int i = 0; i < 8; ++i)
    probes.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  std::vector<uintptr_t> values;
  for (HANDLE h : probes) {
    values.push_back(reinterpret_cast<uintptr_t>(h));
    CloseHandle(h);
  }
  return values;
}

// Every path closes the key: repeating the check on each kind of key leaves no handle behind.
TEST_F(SettingsKeyTest, ClosesTheKeyOnEveryPath) {
  const std::vector<std::vector<std::pair<std::string, RawValue>>> keys = {
      {{"Dict", {REG_SZ, StrBytes("x")}}},
      {{"Allow", {REG_DWORD, DwordBytes(0)}}},
      {{"Allow", {REG_SZ, StrBytes("0")}}},
  };
  for (const auto& values : keys) {
    RegDeleteTreeA(kSettingsRoot, kSettingsKey);
    Store(values);
    const std::vector<uintptr_t> before = NextHandleValues();
    for (int i = 0; i < 5; ++i) {
      try {
        MultipleInstancesForbidden();
      } catch (const ERegistryException&) {
      }
    }
    EXPECT_EQ(before, NextHandleValues())
        << values[0].first << " of type " << values[0].second.type << ": a handle was left open";
  }
}

// A stand-in for the running copy's main window that records the hand-over messages it gets.
// The windows stay hidden: the window search finds hidden windows too, and destroying a visible
// window under Wine without a window manager takes seconds.
struct Received {
  HWND wnd;
  WPARAM wParam;
  ULONG_PTR dwData;
  DWORD cbData;
  const void* lpData;
};
std::vector<Received>& Log() {
  static std::vector<Received> log;
  return log;
}

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    Log().push_back({wnd, wParam, cds->dwData, cds->cbData, cds->lpData});
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

class Window {
 public:
  Window(const char* className, const char* title) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);  // a second registration of the same class fails harmlessly
    wnd_ = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~Window() { DestroyWindow(wnd_); }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  HWND Get() const { return wnd_; }

 private:
  HWND wnd_ = nullptr;
};

TEST(ActivateRunningInstance, SendsTheHandOverToTheWindowOfThatClassAndTitle) {
  Window other(kMainWindowClass, "Lexmora");      // same class, another title
  Window foreign("LexmoraTestOther", kAppTitle);  // same title, another class
  Window main(kMainWindowClass, kAppTitle);
  ASSERT_NE(nullptr, main.Get());
  SetForegroundWindow(foreign.Get());
  ASSERT_EQ(foreign.Get(), GetForegroundWindow());
  Log().clear();

  ActivateRunningInstance();

  ASSERT_EQ(1u, Log().size()) << "WM_COPYDATA messages received";
  const Received& got = Log()[0];
  EXPECT_EQ(main.Get(), got.wnd);
  EXPECT_EQ(0u, got.wParam);
  EXPECT_EQ(0u, got.dwData);
  EXPECT_EQ(0u, got.cbData);
  EXPECT_EQ(nullptr, got.lpData);
  EXPECT_EQ(main.Get(), GetForegroundWindow());
}

TEST(ActivateRunningInstance, WithoutThatWindowSendsNothing) {
  Window other(kMainWindowClass, "Lexmora - BETA");
  Window foreign("LexmoraTestOther", kAppTitle);
  Log().clear();
  ActivateRunningInstance();
  EXPECT_TRUE(Log().empty()) << Log().size() << " messages sent";
}

// Handles this thread's messages (a window of it may be sent the hand-over) while `waiting` holds,
// for at most `ms`.
void PumpWhile(const std::function<bool()>& waiting, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (waiting() && GetTickCount64() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&msg);
  }
}

// A copy that runs holds the lock on this thread; a later start, on a thread of its own as in
// another process, hands over to its window, gives up when it has none yet, and waits while it
// closes: until it ends, or for as long as it may.
TEST(SingleCopyLock, ALaterStartHandsOverGivesUpOrWaitsForAClosingCopy) {
  using Start = SingleCopyLock::Start;
  const struct {
    const char* name;
    bool window;      // the running copy's main window exists
    bool closing;     // the running copy is closing
    DWORD endsAfter;  // the running copy lets the lock go after this many milliseconds
    DWORD waitMs;     // how long the start may wait for a closing copy
    Start want;
    bool wantAfterEnd;  // the start's result came after the running copy let go
  } cases[] = {
      {"running, its window answers", true, false, 3000, 5000, Start::HandedOver, false},
      {"running, no window yet", false, false, 3000, 5000, Start::GaveUp, false},
      {"closing, its window still there", true, true, 300, 5000, Start::Run, true},
      {"closing, its window gone", false, true, 300, 5000, Start::Run, true},
      {"closing for longer than the start waits", false, true, 3000, 300, Start::GaveUp, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<SingleCopyLock> running(std::in_place);
    ASSERT_EQ(running->Result(), Start::Run);
    std::optional<Window> main;
    if (c.window)
      main.emplace(kMainWindowClass, kAppTitle);
    if (c.closing)
      running->Closing();
    Log().clear();

    std::atomic<bool> ended{false}, done{false};
    Start got = Start::Run;
    bool afterEnd = false;
    std::thread later([&] {
      const SingleCopyLock lock(c.waitMs);
      got = lock.Result();
      afterEnd = ended;
      done = true;
    });
    PumpWhile([&] { return !done; }, c.endsAfter);
    main.reset();
    ended = true;
    running.reset();
    later.join();
    EXPECT_EQ(static_cast<int>(got), static_cast<int>(c.want));
    EXPECT_EQ(afterEnd, c.wantAfterEnd);
    EXPECT_EQ(Log().size(), c.want == Start::HandedOver ? 1u : 0u) << "hand-over messages";
  }
}

}  // namespace
}  // namespace lexmora
