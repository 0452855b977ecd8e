// The pointer pass: hover, press and release events, exclusive dialogs, outside presses, suppression, and
// callbacks that destroy dialogs while the pass runs.
#include "dialog_fixture.h"

namespace {

using engine::Dialog;
using engine::IntRect;
using guitest::DialogTest;
using guitest::Event;
using Events = std::vector<Event>;

constexpr int kPress = engine::kNoticePress;

class DialogPointer : public DialogTest {
protected:
    // A shown dialog at (100, 100) with button 7 at (110, 130) to (190, 150) on screen.
    Dialog& DialogWithButton(bool exclusive = false, int x = 100) {
        Dialog& dialog = MakeDialog(x, 100, 200, 150);
        dialog.AddButton(7, IntRect{10, 30, 80, 20}, u"OK");
        dialog.Show(true, exclusive);
        return dialog;
    }
};

TEST_F(DialogPointer, CreationShowingAndTheFullEventSequenceOfAClick) {
    Dialog& dialog = DialogWithButton();
    const int id = dialog.GetId();
    EXPECT_EQ(id, 1);
    EXPECT_EQ(Take(), (Events{{id, 1, 0, 0}, {id, 2, 1, 0}}));
    EXPECT_EQ(engine::GetActiveDialog(), &dialog);
    EXPECT_TRUE(dialog.FindControl(7)->IsFocused());

    PointerAt(120, 140);
    Frame();
    EXPECT_EQ(Take(), (Events{{id, 10, 7, 0}, {id, 12, 7, 0}}));
    Button(true);
    Frame();
    EXPECT_EQ(Take(), (Events{{id, 8, kPress, 0}, {id, 10, 7, 0}, {id, 9, 7, 0}}));
    Frame();
    EXPECT_EQ(Take(), (Events{{id, 10, 7, 0}}));
    EXPECT_TRUE(dialog.FindControl(7)->IsPressed());
    Button(false);
    Frame();
    EXPECT_EQ(Take(), (Events{{id, 10, 7, 0}, {id, 11, 7, 0}}));
    EXPECT_FALSE(dialog.FindControl(7)->IsPressed());
}

TEST_F(DialogPointer, ReleaseAwayFromTheButtonSendsNothing) {
    Dialog& dialog = DialogWithButton();
    Take();
    PointerAt(120, 140);
    Button(true);
    Frame();
    PointerAt(250, 200);  // inside the dialog, over no control
    Frame();
    Button(false);
    Frame();
    EXPECT_EQ(Take({9, 11}), (Events{{dialog.GetId(), 9, 7, 0}}));
    // Pressing elsewhere and releasing over the button is no click either.
    Button(true);
    Frame();
    PointerAt(120, 140);
    Frame();
    Button(false);
    Frame();
    EXPECT_EQ(Take({9, 11}), Events{});
}

TEST_F(DialogPointer, OnlyExclusiveDialogsHearThePointerWhileOneIsShown) {
    Dialog& plain = DialogWithButton(false, 100);
    Dialog& exclusive = DialogWithButton(true, 400);
    Take();
    for (const int x : {120, 420}) {
        PointerAt(x, 140);
        Button(true);
        Frame();
        Button(false);
        Frame();
    }
    for (const Event& e : Take()) EXPECT_NE(e.dialog, plain.GetId()) << e;
    exclusive.Show(false);
    PointerAt(120, 140);
    Button(true);
    Frame();
    EXPECT_EQ(Take({9}), (Events{{plain.GetId(), 9, 7, 0}}));
}

TEST_F(DialogPointer, APressBegunOutsideEveryDialogIsIgnoredUntilRelease) {
    Dialog& dialog = DialogWithButton();
    Take();
    PointerAt(10, 10);
    Button(true);
    Frame();
    PointerAt(120, 140);
    Frame();
    Frame();
    Button(false);
    Frame();
    EXPECT_EQ(Take({8, 9, 11}), Events{});
    Button(true);
    Frame();
    EXPECT_EQ(Take({8, 9}), (Events{{dialog.GetId(), 8, kPress, 0}, {dialog.GetId(), 9, 7, 0}}));
}

TEST_F(DialogPointer, AConsumedPressNoticeCancelsThePressUntilRelease) {
    Dialog& dialog = DialogWithButton();
    Take();
    results[8] = 1;
    PointerAt(120, 140);
    Button(true);
    Frame();
    Frame();
    Button(false);
    Frame();
    EXPECT_EQ(Take({8, 9, 11}), (Events{{dialog.GetId(), 8, kPress, 0}}));
}

TEST_F(DialogPointer, ANonZeroPressedResultSuppressesTheReleaseEvent) {
    Dialog& dialog = DialogWithButton();
    Take();
    results[9] = 1;
    PointerAt(120, 140);
    Button(true);
    Frame();
    Frame();
    Button(false);
    Frame();
    EXPECT_EQ(Take({8, 9, 11}), (Events{{dialog.GetId(), 8, kPress, 0}, {dialog.GetId(), 9, 7, 0}}));
    // The next click works again.
    results.clear();
    Button(true);
    Frame();
    Button(false);
    Frame();
    EXPECT_EQ(Take({11}), (Events{{dialog.GetId(), 11, 7, 0}}));
}

TEST_F(DialogPointer, APressThatShowsADialogCountsAsNewForDialogsHandledLaterInTheFrame) {
    Dialog& opener = DialogWithButton(false, 100);
    Dialog& opened = MakeDialog(100, 100, 200, 150);
    opened.AddButton(8, IntRect{10, 30, 80, 20}, u"Again");
    PointerAt(120, 140);
    Button(true);
    Frame();
    Take();
    // The press is held; the opener shows the other dialog while hovering on the next frame.
    hooks[10] = [&](Dialog& dialog, int) {
        if (&dialog == &opener && !opened.IsShown()) opened.Show(true);
    };
    Frame();
    EXPECT_EQ(Take({8, 9}), (Events{{opened.GetId(), 8, kPress, 0}, {opened.GetId(), 9, 8, 0}}));
    Frame();
    EXPECT_EQ(Take({8, 9}), Events{});
}

TEST_F(DialogPointer, ACallbackMayDestroyItsOwnDialogOnReleaseOrAnotherOnPress) {
    Dialog& first = DialogWithButton(false, 100);
    Dialog& second = DialogWithButton(false, 100);
    const int firstId = first.GetId();
    const int secondId = second.GetId();
    hooks[9] = [&](Dialog& dialog, int) {
        if (dialog.GetId() == firstId) dialogs[1].reset();  // the second dialog, not yet handled this frame
    };
    Take();
    PointerAt(120, 140);
    Button(true);
    Frame();
    for (const Event& e : Take()) EXPECT_NE(e.dialog, secondId) << e;
    EXPECT_EQ(engine::GetDialog(secondId), nullptr);

    hooks.clear();
    hooks[11] = [&](Dialog&, int) { dialogs[0].reset(); };
    Button(false);
    Frame();
    EXPECT_EQ(Take({11}), (Events{{firstId, 11, 7, 0}}));
    EXPECT_EQ(engine::GetDialog(firstId), nullptr);
    Frame();
    EXPECT_EQ(Take(), Events{});
}

TEST_F(DialogPointer, ThePressIsTakenFromTheGameOnlyOverADialog) {
    DialogWithButton();
    PointerAt(120, 140);
    Button(true);
    Frame();
    EXPECT_EQ(input.ReadKey(engine::kKeyMouseLeft).pressed, 0);
    Button(false);
    Frame();
    PointerAt(10, 10);
    Button(true);
    Frame();
    EXPECT_EQ(input.ReadKey(engine::kKeyMouseLeft).pressed, 1);
}

TEST_F(DialogPointer, ThePointerPassWaitsForADeviceWithAPointer) {
    Dialog& dialog = DialogWithButton();
    Take();
    input.SetEnabled(false);
    PointerAt(120, 140);
    Button(true);
    Frame();
    EXPECT_EQ(Take(), Events{});
    EXPECT_EQ(dialog.GetInputSnapshot().pointerX, 120);
}

TEST_F(DialogPointer, ASixtyFifthDialogGetsNoSlotAndNoCreationEvent) {
    for (int i = 0; i < 64; ++i) ASSERT_GT(MakeDialog(0, 0, 10, 10).GetId(), 0);
    Take();
    Dialog& extra = MakeDialog(0, 0, 10, 10);
    EXPECT_EQ(extra.GetId(), 0);
    EXPECT_EQ(Take(), Events{});
    dialogs[3].reset();
    EXPECT_TRUE(extra.Init(u"again", 0, 0, 10, 10, Recorder(), false, false));
    EXPECT_EQ(extra.GetId(), 4);
}

}  // namespace
