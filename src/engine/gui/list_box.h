#pragma once
// A list box of text rows, each with a value, scrolled by dragging like a touch list: a press marks the row
// under it as tapped, the list follows the pointer while held, moving more than 7 pixels clears the tap, and a
// release on the still-tapped row selects it. After a drag, the scroll offset springs back into range.
#include <vector>

#include "engine/gui/dialog_control.h"

namespace engine {

class ListBox final : public DialogControl {
public:
    static constexpr int kTapSlop = 7;
    static constexpr int kDefaultRowHeight = 16;

    bool Draw(int dialogX, int dialogY, BitmapFont* font, RenderTargetBase& target) override;
    int GetType() const override { return kControlListBox; }

    // Rows gone, selection and scroll 0; the capacity is kept.
    void Clear();
    void AddRow(const char16_t* text, int value);
    // Ignored when negative; a selection past the last row is kept but highlights nothing.
    void SetSelection(int row) {
        if (row >= 0) selected_ = row;
    }
    int GetSelection() const { return selected_; }
    // A copy of the selected row's text and value; false (empty text, value 0) when the selection is no row.
    bool GetSelectedRow(WideString& text, int& value) const;
    bool GetRow(int row, WideString& text, int& value) const;
    int GetRowCount() const { return static_cast<int>(rows_.size()); }
    bool IsRowTapped(int row) const;
    // Row height = control height / n (below 1 counts as 1); returns it.
    int SetVisibleRows(int rows);
    int GetVisibleRows() const { return visibleRows_; }
    int GetRowHeight() const { return rowHeight_; }
    int GetScrollOffset() const { return scroll_; }
    void SetScrollOffset(int offset) { scroll_ = offset; }
    bool IsDragging() const { return dragging_; }

    // Keyboard: the row above or below, clamped to the rows; nothing on an empty list.
    void SelectPrevious();
    void SelectNext();

    // Pointer handling, y relative to the control's top.
    void BeginDrag(int y);
    void FollowDrag(int y);
    // Ends the drag. Inside the control over a row still tapped: selects it, clears the marks and returns the
    // row; otherwise clears the marks and returns -1.
    int EndDrag(bool inside, int y);
    // One frame of the spring back into range (unless dragged).
    void SpringBack(float frameSeconds);

private:
    struct Row {
        WideString text;
        int value = 0;
        bool tapped = false;
    };

    int RowAt(int y) const;
    void ClearTaps();

    std::vector<Row> rows_;
    int selected_ = 0;
    int visibleRows_ = 1;
    int rowHeight_ = kDefaultRowHeight;
    int scroll_ = 0;
    int pressY_ = 0;
    int pressScroll_ = 0;
    bool dragging_ = false;
};

}  // namespace engine
