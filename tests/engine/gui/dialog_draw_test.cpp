// Drawing dialogs into a recording target: body, title bar, control colours, draw order, callbacks that draw,
// and the tooltip's delay.
#include "dialog_fixture.h"

namespace {

using engine::Dialog;
using engine::IntRect;
using guitest::DialogTest;
using guitest::Fill;
using guitest::RecordingFont;
using guitest::RecordingTarget;

constexpr std::uint32_t kBody = 0xFF808080u;
constexpr std::uint32_t kTitleBar = 0xFF606060u;
constexpr std::uint32_t kPlain = 0xFF606060u;
constexpr std::uint32_t kFocused = 0xFFA0B4B4u;
constexpr std::uint32_t kTooltip = 0x40404040u;

bool SameRect(const IntRect& a, const IntRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

class DialogDraw : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        engine::SetDialogFont(&font);
    }
    void TearDown() override {
        DialogTest::TearDown();
        engine::SetDialogFont(nullptr);
    }
    void Draw() {
        target = RecordingTarget{};
        font.quads.clear();
        engine::DrawAllDialogs(target);
    }
    const Fill* FillOf(std::uint32_t colour) const {
        for (const Fill& f : target.fills) {
            if (f.colour == colour) return &f;
        }
        return nullptr;
    }

    RecordingFont font;
    RecordingTarget target;
};

TEST_F(DialogDraw, BodyTitleBarAndButtonsInTheirColours) {
    Dialog& dialog = MakeDialog(100, 50, 200, 120);
    dialog.AddButton(1, IntRect{10, 30, 80, 20}, u"One");
    dialog.AddButton(2, IntRect{10, 60, 80, 20}, u"Two");
    dialog.SetOrigin(5, 7);
    dialog.Show(true);
    Draw();
    ASSERT_EQ(target.fills.size(), 4u);
    EXPECT_TRUE(SameRect(target.fills[0].rect, IntRect{105, 57, 200, 120}));
    EXPECT_EQ(target.fills[0].colour, kBody);
    EXPECT_EQ(target.fills[0].blend, 3);
    EXPECT_TRUE(SameRect(target.fills[1].rect, IntRect{105, 57, 200, font.GetLineSpacing() + 2}));
    EXPECT_EQ(target.fills[1].colour, kTitleBar);
    // The unfocused button first, then the focused (earliest-added) one.
    EXPECT_TRUE(SameRect(target.fills[2].rect, IntRect{115, 117, 80, 20}));
    EXPECT_EQ(target.fills[2].colour, kPlain);
    EXPECT_TRUE(SameRect(target.fills[3].rect, IntRect{115, 87, 80, 20}));
    EXPECT_EQ(target.fills[3].colour, kFocused);
    // Title and button texts are drawn white: the title one pixel below the top, centred.
    ASSERT_FALSE(font.quads.empty());
    EXPECT_EQ(font.quads[0].y, 58);
    for (const auto& q : font.quads) EXPECT_EQ(q.colour, 0xFFFFFFFFu);
}

TEST_F(DialogDraw, HoveredButtonsBlinkAndPressedOnesShrink) {
    Dialog& dialog = MakeDialog(0, 0, 200, 200);
    dialog.AddButton(1, IntRect{10, 30, 80, 20}, u"");
    dialog.Show(true);
    PointerAt(20, 40);
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 20; ++i) {
        Frame(50);
        Draw();
        seen.insert(target.fills.back().colour);
    }
    EXPECT_EQ(seen, (std::set<std::uint32_t>{0xFF646464u, 0xFFC8C8C8u}));
    Button(true);
    Frame();
    Frame();
    Draw();
    EXPECT_TRUE(SameRect(target.fills.back().rect, IntRect{12, 32, 76, 16}));
}

TEST_F(DialogDraw, TheActiveDialogIsDrawnLast) {
    Dialog& first = MakeDialog(0, 0, 50, 50);
    Dialog& second = MakeDialog(100, 0, 50, 50);
    second.Show(true);
    first.Show(true);
    Draw();
    ASSERT_GE(target.fills.size(), 2u);
    EXPECT_EQ(target.fills.front().rect.x, 100);
    EXPECT_EQ(target.fills[target.fills.size() - 2].rect.x, 0);
    second.Show(true);
    Draw();
    EXPECT_EQ(target.fills.front().rect.x, 0);
}

TEST_F(DialogDraw, CallbacksThatDrawReplaceTheDefaultLook) {
    Dialog& dialog = MakeDialog(0, 0, 200, 200);
    dialog.AddButton(1, IntRect{10, 30, 80, 20}, u"x");
    dialog.Show(true);
    results[3] = 1;
    Draw();
    EXPECT_EQ(FillOf(kBody), nullptr);
    EXPECT_NE(FillOf(kFocused), nullptr);
    results[4] = 1;
    Take();
    Draw();
    EXPECT_TRUE(target.fills.empty());
    EXPECT_EQ(Take({3, 4, 7}), (std::vector<guitest::Event>{{1, 3, 0, 0}, {1, 4, 1, 0}, {1, 7, 0, 0}}));
}

TEST_F(DialogDraw, HiddenControlsAreNotDrawn) {
    Dialog& dialog = MakeDialog(0, 0, 200, 200);
    dialog.AddButton(1, IntRect{10, 30, 80, 20}, u"x");
    dialog.AddButton(2, IntRect{10, 60, 80, 20}, u"y")->SetDisabled(2);
    dialog.Show(true);
    Draw();
    EXPECT_EQ(target.fills.size(), 3u);  // body, title bar, button 1
}

TEST_F(DialogDraw, TheTooltipAppearsOnceTheFocusedControlWasHoveredForHalfASecond) {
    Dialog& dialog = MakeDialog(0, 0, 200, 200);
    dialog.AddButton(1, IntRect{10, 30, 80, 20}, u"x", u"Tip");
    dialog.Show(true);
    PointerAt(20, 40);
    int firstFrame = 0;
    for (int frame = 1; frame <= 30 && firstFrame == 0; ++frame) {
        Frame(30);
        Draw();
        if (FillOf(kTooltip) != nullptr) firstFrame = frame;
    }
    EXPECT_EQ(firstFrame, 17);  // 16 x 30 ms = 0.48 s, 17 x 30 ms = 0.51 s
    const Fill* box = FillOf(kTooltip);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(SameRect(box->rect, IntRect{10, 55, 80, 20}));
    results[5] = 1;
    Draw();
    EXPECT_EQ(FillOf(kTooltip), nullptr);
    // Moving away resets the time.
    results.clear();
    PointerAt(150, 150);
    Frame(30);
    Draw();
    EXPECT_EQ(FillOf(kTooltip), nullptr);
}

TEST_F(DialogDraw, WithoutAPointerTheFocusedControlsTooltipAppearsAfterHalfASecond) {
    Dialog& dialog = MakeDialog(0, 0, 200, 200);
    dialog.AddButton(1, IntRect{10, 30, 80, 20}, u"x", u"Tip");
    dialog.Show(true);
    input.SetEnabled(false);
    int firstFrame = 0;
    for (int frame = 1; frame <= 30 && firstFrame == 0; ++frame) {
        Frame(30);
        Draw();
        if (FillOf(kTooltip) != nullptr) firstFrame = frame;
    }
    EXPECT_EQ(firstFrame, 17);
}

TEST_F(DialogDraw, ACallbackThatDestroysItsDialogWhileDrawingStopsThatDialogOnly) {
    Dialog& doomed = MakeDialog(0, 0, 50, 50);
    doomed.AddButton(1, IntRect{0, 0, 10, 10}, u"x");
    Dialog& other = MakeDialog(100, 0, 50, 50);
    doomed.Show(true);
    other.Show(true);
    const int doomedId = doomed.GetId();
    hooks[4] = [&](Dialog& dialog, int) {
        if (dialog.GetId() == doomedId) dialogs[0].reset();
    };
    Draw();
    EXPECT_EQ(engine::GetDialog(doomedId), nullptr);
    EXPECT_EQ(target.fills.back().rect.x, 100);
}

}  // namespace
