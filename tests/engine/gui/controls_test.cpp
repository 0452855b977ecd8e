// Sliders, list boxes and the controls' common state: geometry, drags, taps, spring-back and the setters'
// edge values.
#include "dialog_fixture.h"

namespace {

using engine::Dialog;
using engine::IntRect;
using engine::ListBox;
using engine::Slider;
using guitest::DialogTest;
using guitest::Event;
using Events = std::vector<Event>;

class Controls : public DialogTest {
protected:
    Dialog& Shown() {
        Dialog& dialog = MakeDialog(0, 0, 640, 480);
        dialog.Show(true);
        return dialog;
    }
};

TEST_F(Controls, SliderThumbGeometry) {
    Dialog& dialog = Shown();
    Slider* slider = dialog.AddSlider(1, IntRect{20, 40, 300, 20}, u"");
    slider->SetHorizontal(true);
    slider->SetPositionCount(5);
    EXPECT_EQ(slider->GetThumbRect().width, 60);
    EXPECT_EQ(slider->GetThumbRect().height, 20);
    slider->SetPosition(4);
    EXPECT_EQ(slider->GetThumbRect().x, 20 + 240);
    slider->SetPosition(2);
    EXPECT_EQ(slider->GetThumbRect().x, 20 + 120);
    EXPECT_EQ(slider->GetThumbRect().y, 40);
    // Vertical: the thumb is at least as long as the track is thick.
    Slider* tall = dialog.AddSlider(2, IntRect{0, 0, 30, 100}, u"");
    tall->SetPositionCount(10);
    EXPECT_EQ(tall->GetThumbRect().height, 30);
    EXPECT_EQ(tall->GetThumbRect().width, 30);
    tall->SetThumbLength(50);
    tall->SetPosition(9);
    EXPECT_EQ(tall->GetThumbRect().height, 50);
    EXPECT_EQ(tall->GetThumbRect().y, 50);
}

TEST_F(Controls, SliderPositionsFromThePointerOffset) {
    Dialog& dialog = Shown();
    Slider* slider = dialog.AddSlider(1, IntRect{0, 0, 300, 20}, u"");
    slider->SetHorizontal(true);
    slider->SetPositionCount(5);
    struct Case {
        int offset;
        int position;
    };
    for (const Case c : {Case{-10, 0}, Case{29, 0}, Case{30, 0}, Case{89, 0}, Case{90, 1}, Case{150, 2},
                         Case{269, 3}, Case{270, 4}, Case{999, 4}}) {
        EXPECT_EQ(slider->PositionAt(c.offset), c.position) << c.offset;
    }
    // A thumb that fills the track: the side of the middle decides.
    slider->SetThumbLength(300);
    EXPECT_EQ(slider->PositionAt(149), 0);
    EXPECT_EQ(slider->PositionAt(150), 4);
    slider->SetThumbLength(400);
    EXPECT_EQ(slider->PositionAt(10), 0);
    EXPECT_EQ(slider->PositionAt(290), 4);
}

TEST_F(Controls, SliderSettersKeepTheirRanges) {
    Dialog& dialog = Shown();
    Slider* slider = dialog.AddSlider(1, IntRect{0, 0, 100, 10}, u"");
    EXPECT_EQ(slider->GetPositionCount(), 1);
    slider->SetPositionCount(0);
    EXPECT_EQ(slider->GetPositionCount(), 1);
    slider->SetPositionCount(-3);
    EXPECT_EQ(slider->GetPositionCount(), 1);
    slider->SetPositionCount(6);
    slider->SetPosition(9);
    EXPECT_EQ(slider->GetPosition(), 5);
    slider->SetPosition(-2);
    EXPECT_EQ(slider->GetPosition(), 0);
    slider->SetPosition(5);
    slider->SetPositionCount(3);
    EXPECT_EQ(slider->GetPosition(), 2);
    slider->SetThumbLength(-5);
    slider->SetHorizontal(true);
    EXPECT_EQ(slider->GetThumbRect().width, 33);
}

TEST_F(Controls, DraggingASliderSendsItsPositionsAndTheReleaseAtTheEnd) {
    Dialog& dialog = Shown();
    Slider* slider = dialog.AddSlider(3, IntRect{100, 100, 300, 20}, u"");
    slider->SetHorizontal(true);
    slider->SetPositionCount(5);
    Take();
    PointerAt(250, 110);
    Button(true);
    Frame();
    EXPECT_EQ(slider->GetPosition(), 2);
    EXPECT_EQ(dialog.DraggedSlider(), slider);
    PointerAt(395, 300);  // the drag follows outside the control
    Frame();
    EXPECT_EQ(slider->GetPosition(), 4);
    Button(false);
    Frame();
    EXPECT_EQ(dialog.DraggedSlider(), nullptr);
    EXPECT_EQ(Take({9, 11, 13}), (Events{{1, 13, 3, 2}, {1, 9, 3, 0}, {1, 13, 3, 4}, {1, 11, 3, 4}}));
}

TEST_F(Controls, ASliderWithOnePositionDrawsNothingAndIgnoresDrags) {
    Dialog& dialog = Shown();
    Slider* slider = dialog.AddSlider(3, IntRect{100, 100, 300, 20}, u"x");
    slider->SetHorizontal(true);
    guitest::RecordingTarget target;
    EXPECT_TRUE(slider->Draw(0, 0, nullptr, target));
    EXPECT_TRUE(target.fills.empty());
    PointerAt(250, 110);
    Button(true);
    Frame();
    EXPECT_EQ(dialog.DraggedSlider(), nullptr);
    EXPECT_EQ(slider->GetPosition(), 0);
    EXPECT_EQ(Take({13}), Events{});
}

TEST_F(Controls, ListRowsSelectionAndTheDegenerateSetters) {
    Dialog& dialog = Shown();
    ListBox* list = dialog.AddListBox(1, IntRect{0, 0, 100, 64});
    EXPECT_EQ(list->GetRowHeight(), 16);
    EXPECT_EQ(list->SetVisibleRows(0), 64);
    EXPECT_EQ(list->SetVisibleRows(-2), 64);
    EXPECT_EQ(list->SetVisibleRows(4), 16);
    engine::WideString text("stale");
    int value = 9;
    EXPECT_FALSE(list->GetSelectedRow(text, value));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(value, 0);
    for (int i = 0; i < 40; ++i) list->AddRow(u"row", i * 10);
    EXPECT_EQ(list->GetRowCount(), 40);
    list->SetSelection(39);
    EXPECT_TRUE(list->GetSelectedRow(text, value));
    EXPECT_EQ(value, 390);
    list->SetSelection(-1);
    EXPECT_EQ(list->GetSelection(), 39);
    list->SetSelection(70);
    EXPECT_EQ(list->GetSelection(), 70);
    EXPECT_FALSE(list->GetSelectedRow(text, value));
    EXPECT_FALSE(list->GetRow(40, text, value));
    EXPECT_FALSE(list->GetRow(-1, text, value));
    EXPECT_TRUE(list->GetRow(3, text, value));
    EXPECT_EQ(value, 30);
    list->Clear();
    EXPECT_EQ(list->GetRowCount(), 0);
    EXPECT_EQ(list->GetSelection(), 0);
}

class ListDrag : public Controls {
protected:
    // A list at (100, 100), 100 x 64, four rows of 16 visible, ten rows in all.
    ListBox* MakeList() {
        Dialog& dialog = Shown();
        ListBox* list = dialog.AddListBox(5, IntRect{100, 100, 100, 64});
        list->SetVisibleRows(4);
        for (int i = 0; i < 10; ++i) list->AddRow(u"row", i);
        Take();
        return list;
    }
    void Drag(int fromY, int toY) {
        PointerAt(150, fromY);
        Button(true);
        Frame();
        PointerAt(150, toY);
        Frame();
        Button(false);
        Frame();
    }
};

TEST_F(ListDrag, AShortDragSelectsTheTappedRowALongerOneScrolls) {
    ListBox* list = MakeList();
    Drag(125, 120);  // row 1, moved 5 pixels
    EXPECT_EQ(list->GetSelection(), 1);
    EXPECT_EQ(Take({11}), (Events{{1, 11, 5, 1}}));
    list->SetScrollOffset(0);
    Drag(141, 133);  // row 2, moved 8 pixels
    EXPECT_EQ(list->GetSelection(), 1);
    EXPECT_EQ(Take({11}), Events{});
    EXPECT_EQ(list->GetScrollOffset(), 8);
    EXPECT_FALSE(list->IsRowTapped(2));
}

TEST_F(ListDrag, ReleasingOutsideTheListSelectsNothing) {
    ListBox* list = MakeList();
    PointerAt(150, 125);
    Button(true);
    Frame();
    EXPECT_TRUE(list->IsRowTapped(1));
    PointerAt(300, 125);
    Frame();
    Button(false);
    Frame();
    EXPECT_EQ(list->GetSelection(), 0);
    EXPECT_FALSE(list->IsRowTapped(1));
    EXPECT_FALSE(list->IsDragging());
}

TEST_F(ListDrag, AfterTheDragTheListSpringsBackAtBoundedSpeed) {
    ListBox* list = MakeList();
    guitest::RecordingTarget target;
    list->SetScrollOffset(-500);
    std::vector<int> steps;
    for (const int ms : {0, 20, 100, 500}) {
        const int before = list->GetScrollOffset();
        Frame(ms);
        list->Draw(0, 0, nullptr, target);
        steps.push_back(list->GetScrollOffset() - before);
    }
    EXPECT_EQ(steps, (std::vector<int>{1, 40, 100, 100}));
    // Past the end: back to (rows - visible) x row height = 96.
    list->SetScrollOffset(150);
    for (int i = 0; i < 10; ++i) {
        Frame(20);
        list->Draw(0, 0, nullptr, target);
    }
    EXPECT_EQ(list->GetScrollOffset(), 96);
    // A list shorter than its view rests at 0.
    list->Clear();
    list->AddRow(u"one", 1);
    list->SetScrollOffset(30);
    Frame(100);
    list->Draw(0, 0, nullptr, target);
    EXPECT_EQ(list->GetScrollOffset(), 0);
}

TEST_F(ListDrag, RowsAreClippedToTheControlAndOnlyVisibleOnesDrawn) {
    ListBox* list = MakeList();
    list->SetSelection(2);
    list->SetScrollOffset(8);
    guitest::RecordingTarget target;
    list->Draw(10, 20, nullptr, target);
    ASSERT_EQ(target.clips.size(), 2u);
    EXPECT_EQ(target.clips[0].x, 110);
    EXPECT_EQ(target.clips[0].y, 120);
    EXPECT_EQ(target.clips[0].width, 100);
    EXPECT_EQ(target.clips[0].height, 64);
    EXPECT_EQ(target.clips[1].width, -1);  // clip restored
    // The body and rows 0 to 4 (row 0 half above the top, row 4 half below the bottom).
    ASSERT_EQ(target.fills.size(), 6u);
    EXPECT_EQ(target.fills[1].rect.y, 120 - 8);
    EXPECT_EQ(target.fills[3].colour, 0xFFA0B4B4u);  // the selected row
    EXPECT_EQ(target.fills[2].colour, 0xFF969696u);
    EXPECT_EQ(target.fills[5].rect.y, 120 + 64 - 8);
    // A selection past the rows highlights nothing.
    list->SetSelection(99);
    target = guitest::RecordingTarget{};
    list->Draw(10, 20, nullptr, target);
    for (std::size_t i = 1; i < target.fills.size(); ++i) EXPECT_EQ(target.fills[i].colour, 0xFF969696u);
}

TEST_F(Controls, DestroyCallbacksRunWhenTheDialogGoes) {
    Dialog& dialog = Shown();
    int destroyed = 0;
    auto* button = dialog.AddButton(1, IntRect{}, u"x");
    button->Init(IntRect{}, 1, u"x", &destroyed, &dialog,
                 [](void* user, engine::DialogControl&) { ++*static_cast<int*>(user); }, nullptr);
    dialog.Destroy();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(dialog.GetId(), 0);
}

}  // namespace
