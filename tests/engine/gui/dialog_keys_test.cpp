// The keyboard pass of the active dialog: select, focus moves in list order and by direction, slider steps,
// list rows, back, and the pad keys that act like the keyboard's.
#include <cmath>

#include "dialog_fixture.h"

namespace {

using engine::Dialog;
using engine::DialogControl;
using engine::IntRect;
using guitest::DialogTest;
using guitest::Event;
using Events = std::vector<Event>;

class DialogKeys : public DialogTest {
protected:
    // Buttons 1, 2 and 3 added in that order, one below the other.
    Dialog& ThreeButtons(bool directional = false) {
        Dialog& dialog = MakeDialog(0, 0, 300, 300, true, directional);
        for (int id = 1; id <= 3; ++id) dialog.AddButton(id, IntRect{10, 10 + 40 * id, 80, 20}, u"B");
        dialog.Show(true);
        Take();
        return dialog;
    }
    int Focused(const Dialog& dialog) const {
        return dialog.GetFocusedControl() != nullptr ? dialog.GetFocusedControl()->GetId() : 0;
    }
};

TEST_F(DialogKeys, UpAndDownMoveInListOrder) {
    Dialog& dialog = ThreeButtons();
    EXPECT_EQ(Focused(dialog), 1);  // showing focuses the earliest-added button
    dialog.GiveFocus(dialog.FindControl(3));
    Tap(engine::kKeyUp);
    EXPECT_EQ(Focused(dialog), 2);
    EXPECT_EQ(Take({8, 6}), (Events{{dialog.GetId(), 8, engine::kNoticeUp, 0}, {dialog.GetId(), 6, 2, 0}}));
    Tap(engine::kKeyUp);
    Tap(engine::kKeyUp);  // no earlier control: focus stays
    EXPECT_EQ(Focused(dialog), 1);
    Tap(engine::kKeyDown);
    EXPECT_EQ(Focused(dialog), 2);
    dialog.FindControl(3)->SetDisabled(1);
    Tap(engine::kKeyDown);
    EXPECT_EQ(Focused(dialog), 2);
}

TEST_F(DialogKeys, AConsumedNoticeLeavesTheFocus) {
    Dialog& dialog = ThreeButtons();
    results[8] = 1;
    Tap(engine::kKeyDown);
    EXPECT_EQ(Focused(dialog), 1);
    EXPECT_EQ(Take({6}), Events{});
}

TEST_F(DialogKeys, DirectionalMovesWeighTheCrossOffsetAsItsSquare) {
    // From a 20 x 20 control at (100, 100), right: candidates by centre offset (dx, dy).
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> offsets;  // centre offsets of candidates 1, 2, ...
        int expected;                              // index into offsets + 1, 0 = none
    };
    const Case cases[] = {
        {"nearer straight wins", {{30, 0}, {60, 0}}, 1},
        {"a small misalignment costs its square", {{10, 4}, {12, 0}}, 2},   // sqrt(16^2 + 10^2) vs 12
        {"a tiny one costs little", {{10, 1}, {12, 0}}, 1},                 // sqrt(1 + 100) vs 12
        {"left and equal x are not to the right", {{-30, 0}, {0, 40}}, 0},
        {"ties go to the newest", {{20, 0}, {0, 0}, {20, 0}}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        Dialog& dialog = MakeDialog(0, 0, 400, 400, true, true);
        DialogControl* from = dialog.AddButton(100, IntRect{100, 100, 20, 20}, u"F");
        for (std::size_t i = 0; i < c.offsets.size(); ++i) {
            const auto [dx, dy] = c.offsets[i];
            if (dx == 0 && dy == 0) continue;
            dialog.AddButton(static_cast<int>(i + 1), IntRect{100 + dx, 100 + dy, 20, 20}, u"C");
        }
        dialog.Show(true);
        dialog.GiveFocus(from);
        Tap(engine::kKeyRight);
        EXPECT_EQ(Focused(dialog), c.expected == 0 ? 100 : c.expected);
    }
}

TEST_F(DialogKeys, DirectionalUpDownAndLeft) {
    Dialog& dialog = MakeDialog(0, 0, 400, 400, true, true);
    dialog.AddButton(1, IntRect{100, 100, 20, 20}, u"centre");
    dialog.AddButton(2, IntRect{100, 40, 20, 20}, u"up");
    dialog.AddButton(3, IntRect{100, 160, 20, 20}, u"down");
    dialog.AddButton(4, IntRect{40, 100, 20, 20}, u"left");
    dialog.Show(true);
    EXPECT_EQ(Focused(dialog), 1);
    Tap(engine::kKeyUp);
    EXPECT_EQ(Focused(dialog), 2);
    Tap(engine::kKeyDown);
    EXPECT_EQ(Focused(dialog), 1);
    Tap(engine::kKeyDown);
    EXPECT_EQ(Focused(dialog), 3);
    Tap(engine::kKeyLeft);
    EXPECT_EQ(Focused(dialog), 4);
    EXPECT_EQ(Take({6}).size(), 4u);
}

TEST_F(DialogKeys, FocusIsRememberedAcrossHideAndShow) {
    Dialog& dialog = ThreeButtons();
    Tap(engine::kKeyDown);
    Tap(engine::kKeyDown);
    EXPECT_EQ(Focused(dialog), 3);
    dialog.Show(false);
    EXPECT_EQ(engine::GetActiveDialog(), nullptr);
    dialog.Show(true);
    EXPECT_EQ(Focused(dialog), 3);
}

TEST_F(DialogKeys, SelectPressesAndReleasesTheFocusedControl) {
    Dialog& dialog = ThreeButtons();
    Key(engine::kKeyReturn, true);
    Frame();
    EXPECT_EQ(Take({8, 9, 11}), (Events{{dialog.GetId(), 8, engine::kNoticePress, 0}, {dialog.GetId(), 9, 1, 0}}));
    EXPECT_TRUE(dialog.FindControl(1)->IsPressed());
    Frame();
    EXPECT_EQ(Take({8, 9, 11}), Events{});
    EXPECT_TRUE(dialog.FindControl(1)->IsPressed());
    Key(engine::kKeyReturn, false);
    Frame();
    EXPECT_EQ(Take({8, 9, 11}), (Events{{dialog.GetId(), 11, 1, 0}}));
    EXPECT_FALSE(dialog.FindControl(1)->IsPressed());
}

TEST_F(DialogKeys, PadKeysActLikeTheKeyboardKeys) {
    struct Case {
        int code;
        int notice;
    };
    const Case cases[] = {
        {engine::kKeyPadUp, engine::kNoticeUp},       {engine::kKeyPadDown, engine::kNoticeDown},
        {engine::kKeyPadLeft, engine::kNoticeLeft},   {engine::kKeyPadRight, engine::kNoticeRight},
        {engine::kKeyPadA, engine::kNoticePress},     {engine::kKeyReturn, engine::kNoticePress},
        {engine::kKeyPadB, engine::kNoticeBack},      {engine::kKeyBackspace, engine::kNoticeBack},
        {engine::kKeyEscape, engine::kNoticeBack},    {engine::kKeyLeft, engine::kNoticeLeft},
    };
    Dialog& dialog = ThreeButtons();
    for (const Case& c : cases) {
        Tap(c.code);
        EXPECT_EQ(Take({8}), (Events{{dialog.GetId(), 8, c.notice, 0}})) << c.code;
    }
}

TEST_F(DialogKeys, OnlyTheActiveDialogWithItsKeyboardFlagHearsKeys) {
    Dialog& keyboard = ThreeButtons();
    Dialog& other = MakeDialog(0, 0, 10, 10, false);
    other.Show(true);
    Take();
    Tap(engine::kKeyDown);
    EXPECT_EQ(Take({8}), Events{});
    other.Show(false);
    keyboard.Show(true);
    Take();
    Tap(engine::kKeyDown);
    EXPECT_EQ(Take({8}).size(), 1u);
}

TEST_F(DialogKeys, SlidersStepWithLeftAndRightAndListsMoveTheirSelection) {
    Dialog& dialog = MakeDialog(0, 0, 400, 400, true, false);
    engine::Slider* slider = dialog.AddSlider(1, IntRect{10, 10, 300, 20}, u"S");
    slider->SetHorizontal(true);
    slider->SetPositionCount(3);
    engine::ListBox* list = dialog.AddListBox(2, IntRect{10, 50, 100, 64});
    dialog.Show(true);
    dialog.GiveFocus(slider);
    Take();
    Tap(engine::kKeyRight);
    Tap(engine::kKeyRight);
    Tap(engine::kKeyRight);
    EXPECT_EQ(slider->GetPosition(), 2);
    Tap(engine::kKeyLeft);
    EXPECT_EQ(Take({13}), (Events{{1, 13, 1, 1}, {1, 13, 1, 2}, {1, 13, 1, 1}}));

    dialog.GiveFocus(list);
    Tap(engine::kKeyDown);  // an empty list: nothing
    EXPECT_EQ(list->GetSelection(), 0);
    list->AddRow(u"a", 10);
    list->AddRow(u"b", 20);
    Tap(engine::kKeyDown);
    Tap(engine::kKeyDown);
    EXPECT_EQ(list->GetSelection(), 1);
    Tap(engine::kKeyUp);
    Tap(engine::kKeyUp);
    EXPECT_EQ(list->GetSelection(), 0);
    Tap(engine::kKeyDown);
    Take();
    Tap(engine::kKeyReturn);
    EXPECT_EQ(Take({11}), (Events{{1, 11, 2, 1}}));
}

TEST_F(DialogKeys, DisablingOrHidingTheFocusedControlMovesFocusOn) {
    Dialog& dialog = ThreeButtons();
    dialog.GiveFocus(dialog.FindControl(3));
    dialog.FindControl(3)->SetDisabled(2);
    EXPECT_EQ(Focused(dialog), 2);
    EXPECT_FALSE(dialog.FindControl(3)->IsFocused());
    dialog.FindControl(1)->SetDisabled(1);  // not focused: focus stays
    EXPECT_EQ(Focused(dialog), 2);
}

TEST_F(DialogKeys, ADialogDestroyedByItsSelectCallbackEndsThePass) {
    Dialog& dialog = ThreeButtons();
    const int id = dialog.GetId();
    hooks[9] = [&](Dialog&, int) { dialogs[0].reset(); };
    Key(engine::kKeyReturn, true);
    Key(engine::kKeyDown, true);
    Frame();
    EXPECT_EQ(engine::GetDialog(id), nullptr);
    EXPECT_EQ(Take({8}), (Events{{id, 8, engine::kNoticePress, 0}}));
}

}  // namespace
