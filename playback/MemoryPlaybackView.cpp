#include "playback/MemoryPlaybackView.h"

std::u16string MemoryPlaybackView::RowText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column > 1) return {};
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void MemoryPlaybackView::DeselectRow(int row) {
    if (row < 0)
        selected_.clear();
    else
        selected_.erase(row);
}

void MemoryPlaybackView::SelectRow(int row) {
    if (row >= 0 && row < RowCount()) selected_.insert(row);
}

void MemoryPlaybackView::SetPosition(int position) {
    position_ = position;
    positions_.push_back(position);
}

void MemoryPlaybackView::SetRows(std::u16string folder, std::vector<Row> rows) {
    folder_ = std::move(folder);
    rows_ = std::move(rows);
    selected_.clear();
}
