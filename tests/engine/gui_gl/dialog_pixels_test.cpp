// A dialog drawn on the device: the body, title bar and focused button in their colours at sampled pixels, and
// list rows clipped to the list box.
#include <gtest/gtest.h>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/list_box.h"
#include "gui_gl_fixture.h"
#include "../gui/rfn_writer.h"

namespace {

using drawtest::Near;
using drawtest::Rgba;

class DialogPixels : public guigltest::GuiGlTest {
protected:
    void SetUp() override {
        GuiGlTest::SetUp();
        engine::InitDialogSystem();
    }
    void TearDown() override {
        engine::SetDialogFont(nullptr);
        engine::InitDialogSystem();
        GuiGlTest::TearDown();
    }
};

TEST_F(DialogPixels, BodyTitleBarFocusedButtonAndClippedListRows) {
    // A font with a line spacing of 8 and blank glyphs: the title bar is 10 pixels tall.
    guitest::RfnDescription description = guitest::SyntheticFont(126);
    description.lineSpacing = 8;
    description.cell = [](int) { return engine::IntRect{}; };
    const auto bytes = guitest::WriteRfn(description);
    engine::BitmapFont font(*device_, *bindings_);
    ASSERT_TRUE(font.ReadMetrics(bytes.data(), bytes.size()));
    engine::SetDialogFont(&font);

    engine::Dialog dialog;
    ASSERT_TRUE(dialog.Init(u"T", 2, 2, 60, 44, nullptr, false, false));
    dialog.AddButton(1, engine::IntRect{2, 14, 20, 10}, u"");
    engine::ListBox* list = dialog.AddListBox(2, engine::IntRect{30, 14, 24, 16});
    list->SetVisibleRows(2);  // rows of 8
    for (int i = 0; i < 5; ++i) list->AddRow(u"", i);
    list->SetSelection(1);
    list->SetScrollOffset(4);  // row 0 half above the list, row 2 half below it
    dialog.Show(true);

    Clear(0xFF000000u);
    engine::DrawAllDialogs(*target_);
    target_->SetClipRect(nullptr);
    const auto picture = Read();
    auto expect = [&](int x, int y, int r, int g, int b) {
        EXPECT_TRUE(Near(At(picture, x, y), Rgba{r, g, b, At(picture, x, y)[3]}, 1)) << x << ", " << y;
    };
    expect(1, 1, 0, 0, 0);            // outside the dialog
    expect(40, 40, 128, 128, 128);    // body
    expect(55, 4, 96, 96, 96);        // title bar (rows 2 to 11)
    expect(55, 12, 128, 128, 128);    // just below it
    expect(5, 17, 160, 180, 180);     // the focused button
    // The list at (32, 16) to (56, 32): rows of 8 from y = 12, the selected row 1 from 20 to 28.
    expect(40, 16, 150, 150, 150);    // row 0, its visible half
    expect(40, 15, 128, 128, 128);    // above the list: clipped
    expect(40, 24, 160, 180, 180);    // row 1, selected
    expect(40, 30, 150, 150, 150);    // row 2, inside
    expect(40, 33, 128, 128, 128);    // row 2 below the list: clipped
}

}  // namespace
