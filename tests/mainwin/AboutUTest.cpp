// The about box: name and version from the program's version resource, the link labels' hover
// style, and what their clicks hand to the shell.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "LexmoraVersion.h"
#include "MainIds.h"
#include "MainWinTestSupport.h"
#include "shell/AboutU.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lexmora {
namespace {

LOGFONTW FontOf(const TControl& control) {
  LOGFONTW lf{};
  GetObjectW(control.Font(), sizeof(lf), &lf);
  return lf;
}

class AboutBoxTest : public ::testing::Test {
 protected:
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};
  FormPtr<TfmAbout> box = MakeForm<TfmAbout>();
};

TEST_F(AboutBoxTest, ShowsTheProductAndVersionOfTheProgramsResource) {
  struct Case {
    const char* name;
    const TControl& label;
    std::wstring want;
  } cases[] = {{"lblAppName", box->lblAppName, L"Lexmora"},
               {"lblVersion", box->lblVersion, L"version " LEXMORA_VERSION_STRING},
               {"lblSlogan", box->lblSlogan, L"Your Cyrillic 2 Latin dictionary"},
               {"lblMail", box->lblMail, L"E-mail :"},
               {"lblEmail", box->lblEmail, L"lexmora@example.org"},
               {"lblWeb", box->lblWeb, L"Website :"},
               {"lblWebpage", box->lblWebpage, L"https://lexmora.example.org"},
               {"lblCreditWebpage", box->lblCreditWebpage, L"https://lexmora.example.org/icons"},
               {"lblCopy", box->lblCopy, L"(c) 2026 The Lexmora developers"}};
  for (const Case& c : cases)
    EXPECT_EQ(c.label.Text(), c.want) << c.name;
  EXPECT_EQ(box->Text(), L"About");
  TFontSpec name = DescribeFont(box->lblAppName.Font());
  EXPECT_EQ(name.name, "Arial");
  EXPECT_EQ(name.size, 20);
  EXPECT_EQ(name.weight, FW_BOLD);
  RECT client = box->ClientRect();
  EXPECT_EQ(client.right, 331);
  EXPECT_EQ(client.bottom, 298);
  // The version stays clear of the large name.
  RECT a = box->lblAppName.BoundsRect(), v = box->lblVersion.BoundsRect(), overlap;
  EXPECT_FALSE(IntersectRect(&overlap, &a, &v));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// A string value of the version resource of this test program, which links the program's
// resources in.
std::wstring OwnVersionString(const std::wstring& name) {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<BYTE> data(GetFileVersionInfoSizeW(path, nullptr));
  void* value = nullptr;
  UINT length = 0;
  if (data.empty() || !GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data()) ||
      !VerQueryValueW(data.data(), (L"\\StringFileInfo\\040204E3\\" + name).c_str(), &value,
                      &length)) {
    return L"<missing>";
  }
  return static_cast<const wchar_t*>(value);
}

// The same year as the about box's lblCopy above.
TEST_F(AboutBoxTest, TheVersionResourceGivesTheYearOfTheAboutBox) {
  EXPECT_EQ(OwnVersionString(L"LegalCopyright"), L"Copyright (C) 2026 The Lexmora developers");
}

TEST_F(AboutBoxTest, LinksAreUnderlinedOnlyWhileThePointerIsOverThem) {
  TLinkLabel* links[] = {&box->lblEmail, &box->lblWebpage, &box->lblCreditWebpage};
  for (TLinkLabel* link : links) {
    SendMessageW(link->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    for (TLinkLabel* other : links) {
      EXPECT_EQ(FontOf(*other).lfUnderline != 0, other == link)
          << "pointer over " << link->Caption() << ", label " << other->Caption();
    }
    EXPECT_FALSE(FontOf(box->lblWeb).lfUnderline);
    SendMessageW(link->Handle(), WM_MOUSELEAVE, 0, 0);
    LOGFONTW plain = FontOf(*link);
    EXPECT_FALSE(plain.lfUnderline) << link->Caption();
    EXPECT_EQ(plain.lfWeight, FontOf(box->lblWeb).lfWeight) << link->Caption();
  }
}

TEST_F(AboutBoxTest, ClickingALinkHandsItsAddressToTheShell) {
  std::vector<std::wstring> opened;
  ShellOpener previous = SetShellOpener([&](const std::wstring& file) { opened.push_back(file); });
  for (const TLinkLabel* link : {&box->lblEmail, &box->lblWebpage, &box->lblCreditWebpage}) {
    SendMessageW(box->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link->Handle()), STN_CLICKED),
                 reinterpret_cast<LPARAM>(link->Handle()));
  }
  SetShellOpener(previous);
  EXPECT_EQ(opened, (std::vector<std::wstring>{L"mailto:lexmora@example.org",
                                               L"https://lexmora.example.org",
                                               L"https://lexmora.example.org/icons"}));
}

}  // namespace
}  // namespace lexmora
