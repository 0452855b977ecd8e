#include "engine/gui/queued_text.h"

#include <gtest/gtest.h>

#include "engine/core/language_info.h"
#include "engine/gui/text_wrap.h"
#include "engine/render/quad_queue.h"
#include "engine/render/render_target.h"
#include "gui_fixtures.h"

namespace {

class QueuedText : public ::testing::Test {
protected:
    void SetUp() override { engine::InstallQueuedTextDrawer(); }
    void TearDown() override { engine::SetQueuedTextDrawer({}); }

    engine::QuadQueueEntry& Queue(int type) {
        engine::QuadQueueEntry& entry = target.QueueTexture(3, engine::IntRect{}, engine::IntRect{}, 0, 0, 0);
        entry.type = type;
        entry.font = &font;
        return entry;
    }

    engine::RenderTarget target{engine::RenderTargetServices{}, "text", 320, 200, engine::kTargetPlain};
    guitest::RecordingFont font;
};

TEST_F(QueuedText, ATextEntryIsDrawnAlignedAtTheEndOfThePass) {
    engine::QuadQueueEntry& entry = Queue(engine::kQueuedText);
    entry.text.AssignWide(u"AB");
    entry.textX = 100;
    entry.textY = 40;
    entry.alignment = 0x82;  // right, no vertical offset
    entry.lineValue = static_cast<int>(0xFF00FF00u);
    EXPECT_TRUE(font.quads.empty());
    target.End();
    ASSERT_EQ(font.quads.size(), 2u);
    EXPECT_EQ(font.quads[0].x, 100 - font.MeasureWidth(u"AB"));
    EXPECT_EQ(font.quads[0].y, 40);
    EXPECT_EQ(font.quads[0].colour, 0xFF00FF00u);
    EXPECT_EQ(target.Queue()->Count(3), 0);
}

TEST_F(QueuedText, ATextBlockIsDrawnLineByLine) {
    engine::TextWrap wrap;
    wrap.WrapForLanguage(font, u"A\nB\nC", 1000, engine::kLanguageOther);
    engine::QuadQueueEntry& entry = Queue(engine::kQueuedTextBlock);
    entry.textBlock = &wrap;
    entry.textX = 10;
    entry.textY = 20;
    entry.textFlags = 0x80;
    target.End();
    ASSERT_EQ(font.quads.size(), 3u);
    EXPECT_EQ(font.quads[2].x, 10);
    EXPECT_EQ(font.quads[2].y, 20 + 2 * font.GetLineSpacing());
}

TEST_F(QueuedText, EntriesWithoutAFontOrBlockDrawNothing) {
    Queue(engine::kQueuedText).font = nullptr;
    Queue(engine::kQueuedTextBlock);
    target.End();
    EXPECT_TRUE(font.quads.empty());
}

}  // namespace
