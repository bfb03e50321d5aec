#pragma once
// What the playback needs of the window: the record list's selection and
// texts, the position slider, the now-playing label, the Mute button's look
// and the catalogue's folder and played-row mark. The window implements it
// with its controls; tolvan-cli and the tests implement it in memory.

#include <string>
#include <string_view>

// The transport commands, by the ids of the buttons that give them.
enum PlaybackCommand : int {
    kIdPlay = 1005,
    kIdPause = 1006,
    kIdStop = 1007,
    kIdPrevious = 1008,
    kIdNext = 1009,
    kIdPosition = 1010,  // the position slider
    kIdMute = 1011,
    kIdVolume = 1012,  // the volume slider
    kIdNowPlaying = 1029,
};

class PlaybackView {
public:
    virtual ~PlaybackView() = default;

    // The record list.
    virtual int RowCount() const = 0;
    virtual int SelectedRowCount() const = 0;
    // The first selected row from the top; -1 when none is selected.
    virtual int FirstSelectedRow() const = 0;
    // Text of column (0 the running number, 1 the file name) of row.
    virtual std::u16string RowText(int row, int column) const = 0;
    // Clears the selected and focused states of row, of every row for -1.
    virtual void DeselectRow(int row) = 0;
    // Gives row the selected and focused states.
    virtual void SelectRow(int row) = 0;
    virtual void FocusList() = 0;

    // The position slider, 0..100.
    virtual int Position() const = 0;
    virtual void SetPosition(int position) = 0;

    // The label naming the recording being played; empty when none.
    virtual void SetNowPlaying(std::u16string_view text) = 0;
    // The Mute button's icon: the muted one or the sounding one.
    virtual void ShowMuted(bool muted) = 0;

    // The folder whose recordings the list shows.
    virtual std::u16string RecordingsFolder() const = 0;
    // Remembers the running number of the row started, so that the list
    // selects that row again when it is refilled.
    virtual void SetPlayNumber(std::u16string_view number) = 0;
};
