#pragma once
// The playback's view of the window kept in memory: a record list of rows
// of two texts, a position slider, the label and the Mute icon. tolvan-cli
// plays from it; the tests look at it.

#include <array>
#include <set>
#include <string>
#include <vector>

#include "playback/PlaybackView.h"

class MemoryPlaybackView : public PlaybackView {
public:
    // Rows hold the running number and the file name.
    using Row = std::array<std::u16string, 2>;

    int RowCount() const override { return static_cast<int>(rows_.size()); }
    int SelectedRowCount() const override { return static_cast<int>(selected_.size()); }
    int FirstSelectedRow() const override { return selected_.empty() ? -1 : *selected_.begin(); }
    std::u16string RowText(int row, int column) const override;
    void DeselectRow(int row) override;
    void SelectRow(int row) override;
    void FocusList() override { ++listFocused_; }
    int Position() const override { return position_; }
    void SetPosition(int position) override;
    void SetNowPlaying(std::u16string_view text) override { nowPlaying_ = text; }
    void ShowMuted(bool muted) override { muted_ = muted; }
    std::u16string RecordingsFolder() const override { return folder_; }
    void SetPlayNumber(std::u16string_view number) override { playNumber_ = number; }

    // Makes the list hold rows of folder, none of them selected.
    void SetRows(std::u16string folder, std::vector<Row> rows);
    // The position as a user drags the slider, without the history.
    void MoveSlider(int position) { position_ = position; }

    const std::u16string& NowPlaying() const { return nowPlaying_; }
    const std::u16string& PlayNumber() const { return playNumber_; }
    bool Muted() const { return muted_; }
    // Every position the engine set, in order.
    const std::vector<int>& PositionHistory() const { return positions_; }
    void ClearPositionHistory() { positions_.clear(); }
    // How often the list was given the focus.
    int ListFocusCount() const { return listFocused_; }

private:
    std::u16string folder_;
    std::vector<Row> rows_;
    std::set<int> selected_;
    int position_ = 0;
    std::vector<int> positions_;
    std::u16string nowPlaying_;
    std::u16string playNumber_;
    bool muted_ = false;
    int listFocused_ = 0;
};
