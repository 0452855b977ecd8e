#include "engine/gui/list_box.h"

#include <algorithm>
#include <cstdlib>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog.h"
#include "engine/gui/gui_state.h"
#include "engine/render/render_target.h"

namespace engine {
namespace {

constexpr int kBlendFill = 3;
constexpr std::uint32_t kRowTextFlags = 134;
constexpr std::size_t kRowGrowth = 32;
constexpr float kSpringPixelsPerSecond = 2000.0f;
constexpr int kSpringMinStep = 1;
constexpr int kSpringMaxStep = 100;
constexpr float kMaxFrameSeconds = 0.1f;

}  // namespace

void ListBox::Clear() {
    rows_.clear();
    selected_ = 0;
    scroll_ = 0;
}

void ListBox::AddRow(const char16_t* text, int value) {
    if (rows_.size() == rows_.capacity()) rows_.reserve(rows_.size() + kRowGrowth);
    Row& row = rows_.emplace_back();
    if (text != nullptr) row.text.AssignWide(text);
    row.value = value;
}

bool ListBox::GetRow(int row, WideString& text, int& value) const {
    if (row < 0 || row >= GetRowCount()) {
        text.Clear();
        value = 0;
        return false;
    }
    text = rows_[static_cast<std::size_t>(row)].text;
    value = rows_[static_cast<std::size_t>(row)].value;
    return true;
}

bool ListBox::GetSelectedRow(WideString& text, int& value) const { return GetRow(selected_, text, value); }

bool ListBox::IsRowTapped(int row) const {
    return row >= 0 && row < GetRowCount() && rows_[static_cast<std::size_t>(row)].tapped;
}

int ListBox::SetVisibleRows(int rows) {
    visibleRows_ = std::max(rows, 1);
    rowHeight_ = GetRect().height / visibleRows_;
    return rowHeight_;
}

void ListBox::SelectPrevious() {
    if (rows_.empty()) return;
    selected_ = std::clamp(selected_ - 1, 0, GetRowCount() - 1);
}

void ListBox::SelectNext() {
    if (rows_.empty()) return;
    selected_ = std::clamp(selected_ + 1, 0, GetRowCount() - 1);
}

int ListBox::RowAt(int y) const {
    if (rowHeight_ <= 0) return -1;
    const int content = y + scroll_;
    if (content < 0) return -1;
    const int row = content / rowHeight_;
    return row < GetRowCount() ? row : -1;
}

void ListBox::ClearTaps() {
    for (Row& row : rows_) row.tapped = false;
}

void ListBox::BeginDrag(int y) {
    pressY_ = y;
    pressScroll_ = scroll_;
    ClearTaps();
    const int row = RowAt(y);
    if (row >= 0) rows_[static_cast<std::size_t>(row)].tapped = true;
    dragging_ = true;
}

void ListBox::FollowDrag(int y) {
    if (!dragging_) return;
    scroll_ = pressScroll_ - (y - pressY_);
    if (std::abs(y - pressY_) > kTapSlop) ClearTaps();
}

int ListBox::EndDrag(bool inside, int y) {
    if (!dragging_) return -1;
    dragging_ = false;
    const int row = inside ? RowAt(y) : -1;
    const bool tapped = IsRowTapped(row);
    ClearTaps();
    if (!tapped) return -1;
    selected_ = row;
    return row;
}

void ListBox::SpringBack(float frameSeconds) {
    if (dragging_) return;
    const float seconds = std::min(frameSeconds, kMaxFrameSeconds);
    const int step = std::clamp(static_cast<int>(kSpringPixelsPerSecond * seconds), kSpringMinStep, kSpringMaxStep);
    const int end = std::max(0, (GetRowCount() - visibleRows_) * rowHeight_);
    if (scroll_ < 0) {
        scroll_ = std::min(0, scroll_ + step);
    } else if (scroll_ > end) {
        scroll_ = std::max(end, scroll_ - step);
    }
}

bool ListBox::Draw(int dialogX, int dialogY, BitmapFont* font, RenderTargetBase& target) {
    SpringBack(GuiFrameSeconds());
    IntRect rect = ScreenRect(dialogX, dialogY);
    int drawn = 0;
    if (GetDialog() != nullptr && !GetDialog()->SendChecked(kEventDrawControl, GetId(), 0, &rect, drawn)) {
        return false;
    }
    if (drawn != 0) return true;
    target.SetClipRect(&rect);
    target.FillRect(rect, IsHovered() ? GuiRgb(120, 150, 150) : GuiRgb(128, 128, 128), kBlendFill);
    for (int i = 0; i < GetRowCount() && rowHeight_ > 0; ++i) {
        const int top = i * rowHeight_ - scroll_;
        if (top + rowHeight_ <= 0) continue;
        if (top >= rect.height) break;
        const Row& row = rows_[static_cast<std::size_t>(i)];
        std::uint32_t band = GuiRgb(150, 150, 150);
        std::uint32_t text = GuiRgb(192, 192, 192);
        if (row.tapped) {
            band = GuiRgb(128, 128, 128);
            text = GuiRgb(64, 64, 64);
        } else if (i == selected_) {
            band = GuiRgb(160, 180, 180);
            text = kGuiWhite;
        }
        target.FillRect(IntRect{rect.x, rect.y + top, rect.width, rowHeight_}, band, kBlendFill);
        if (font != nullptr && !row.text.IsEmpty()) {
            const int textY = rect.y + top + (rowHeight_ - font->GetLineSpacing()) / 2;
            font->Draw(target, row.text, rect.x + rect.width / 2, textY, kRowTextFlags, text);
        }
    }
    target.SetClipRect(nullptr);
    return true;
}

}  // namespace engine
