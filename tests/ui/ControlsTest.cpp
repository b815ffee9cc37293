// The control wrappers under a real display: list access, the events that input raises and the
// ones that setting a value must not raise, and label sizing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace lexmora {
namespace {

// A shown form holding one control of each kind that the tests drive.
class TControlsForm : public TForm {
 public:
  TControlsForm() {
    CreateEmpty();
    SetBounds(0, 0, 400, 300);
    list.Attach(Child(L"ListBox", LBS_NOTIFY | WS_VSCROLL, 10, 10, 150, 100));
    combo.Create(Handle(), 0, 170, 10, 150, 120);
    check.Attach(Child(L"Button", BS_AUTOCHECKBOX, 10, 120, 150, 20));
    edit.Attach(Child(L"Edit", ES_AUTOHSCROLL, 10, 150, 60, 22));
    upDown.Attach(Child(UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_ARROWKEYS, 70, 150, 16, 22));
    label.Create(Handle(), 10, 180, 10, 10);
    Show();
  }
  TListBox list;
  TComboBox combo;
  TCheckBox check;
  TEdit edit;
  TUpDown upDown;
  TLabel label;

 private:
  HWND Child(const wchar_t* cls, DWORD style, int x, int y, int w, int h) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, w, h,
                           Handle(), nullptr, nullptr, nullptr);
  }
};

class ControlsTest : public ::testing::Test {
 protected:
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};
  std::vector<std::string> errors;
  FormPtr<TControlsForm> form = MakeForm<TControlsForm>();
};

// The text at `index`, or the message of what reading it raised.
template <typename List>
std::string ItemOrError(const List& list, int32_t index) {
  try {
    return ToUtf8(list.Item(index));
  } catch (const Exception& e) {
    return e.what();
  }
}

TEST_F(ControlsTest, ListItemsAreReadByIndexAndAnIndexOutsideRaisesListError) {
  for (const wchar_t* item : {L"alpha", L"къща", L""}) {
    form->list.Add(item);
    form->combo.AddItem(item);
  }
  const struct {
    int32_t index;
    std::string want;
  } cases[] = {
      {0, "alpha"},
      {1, "къща"},
      {2, ""},
      {3, "List index out of bounds (3)"},
      {-1, "List index out of bounds (-1)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ItemOrError(form->list, c.index), c.want) << "list box, index " << c.index;
    EXPECT_EQ(ItemOrError(form->combo, c.index), c.want) << "combo box, index " << c.index;
  }
  std::string deleted = "nothing raised";
  try {
    form->combo.DeleteItem(3);
  } catch (const EListError& e) {
    deleted = e.what();
  }
  EXPECT_EQ(deleted, "List index out of bounds (3)");
  EXPECT_EQ(form->combo.Count(), 3);
  form->combo.DeleteItem(0);
  EXPECT_EQ(ItemOrError(form->combo, 0), "къща");
}

TEST_F(ControlsTest, InputRaisesEventsAndSettingAValueDoesNot) {
  int checkClicks = 0, listClicks = 0, comboChanges = 0, editChanges = 0;
  std::wstring comboTextSeen;
  form->check.OnClick = [&] { ++checkClicks; };
  form->list.OnClick = [&] { ++listClicks; };
  form->combo.OnChange = [&] {
    ++comboChanges;
    comboTextSeen = form->combo.Text();
  };
  form->edit.OnChange = [&] { ++editChanges; };
  for (const wchar_t* item : {L"one", L"two"}) {
    form->list.Add(item);
    form->combo.AddItem(item);
  }

  // Values set by the program raise nothing.
  form->check.SetChecked(true);
  form->list.SetItemIndex(1);
  SendMessageW(form->combo.Handle(), CB_SETCURSEL, 1, 0);
  Application().ProcessMessages();
  EXPECT_EQ(checkClicks, 0);
  EXPECT_EQ(listClicks, 0);
  EXPECT_EQ(comboChanges, 0);

  // A click on the check box toggles it, then raises OnClick once.
  SendMessageW(form->check.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(form->check.Checked());
  EXPECT_EQ(checkClicks, 1);

  // A click on the list's first item selects it and raises OnClick.
  const LRESULT itemHeight = SendMessageW(form->list.Handle(), LB_GETITEMHEIGHT, 0, 0);
  const LPARAM firstItem = MAKELPARAM(5, itemHeight / 2);
  SendMessageW(form->list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, firstItem);
  SendMessageW(form->list.Handle(), WM_LBUTTONUP, 0, firstItem);
  Application().ProcessMessages();
  EXPECT_EQ(form->list.ItemIndex(), 0);
  EXPECT_EQ(listClicks, 1);

  // Choosing an item with the keyboard: OnChange already sees the item as the text.
  form->combo.SetFocus();
  SendMessageW(GetFocus(), WM_KEYDOWN, VK_UP, 0);
  Application().ProcessMessages();
  EXPECT_EQ(form->combo.ItemIndex(), 0);
  EXPECT_EQ(comboChanges, 1);
  EXPECT_EQ(comboTextSeen, L"one");

  // Typing into an edit raises OnChange for each change.
  form->edit.SetFocus();
  SendMessageW(form->edit.Handle(), WM_CHAR, L'4', 1);
  SendMessageW(form->edit.Handle(), WM_CHAR, L'2', 1);
  EXPECT_EQ(editChanges, 2);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(ControlsTest, UpDownKeepsItsBuddysTextWithinTheRange) {
  form->upDown.Associate(form->edit);
  form->upDown.SetRange(2, 70);
  EXPECT_EQ(form->upDown.Min(), 2);
  EXPECT_EQ(form->upDown.Max(), 70);
  const struct {
    int16_t set;
    int16_t want;
    const wchar_t* wantText;
  } cases[] = {
      {10, 10, L"10"},
      {70, 70, L"70"},
      {71, 70, L"70"},  // beyond the range: the nearest end
      {1, 2, L"2"},
  };
  for (const auto& c : cases) {
    form->upDown.SetPosition(c.set);
    EXPECT_EQ(form->upDown.Position(), c.want) << "set " << c.set;
    EXPECT_EQ(form->edit.Text(), c.wantText) << "set " << c.set;
  }
  // The position follows what is typed into the buddy.
  form->edit.SetText(L"33");
  EXPECT_EQ(form->upDown.Position(), 33);
}

TEST_F(ControlsTest, AnAutoSizedLabelTakesTheSizeOfItsText) {
  TLabel& label = form->label;
  label.AutoSize = true;
  label.SetCaption("A short text");
  const RECT shortText = label.BoundsRect();
  label.SetCaption("A much longer text than the first one");
  const RECT longText = label.BoundsRect();
  label.SetCaption("");
  const RECT empty = label.BoundsRect();

  EXPECT_GT(shortText.right - shortText.left, 10) << "the label kept its designed width";
  EXPECT_GT(longText.right - longText.left, shortText.right - shortText.left);
  EXPECT_EQ(longText.bottom - longText.top, shortText.bottom - shortText.top);
  EXPECT_GT(shortText.bottom - shortText.top, 0);
  EXPECT_EQ(empty.right - empty.left, 0) << "an empty label keeps a width";

  label.AutoSize = false;
  label.SetCaption("A short text");
  EXPECT_EQ(label.BoundsRect().right - label.BoundsRect().left, 0) << "resized without AutoSize";
}

}  // namespace
}  // namespace lexmora
