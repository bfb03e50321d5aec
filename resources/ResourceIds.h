#pragma once
// The program's resources by number, and where the artwork lies in the
// compiled-in resources.

#include <QString>
#include <string_view>

// Dialog layouts.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_TOLVAN_DIALOG = 102;
inline constexpr int IDD_CALENDAR = 144;
inline constexpr int IDD_WAIT = 145;
inline constexpr int IDD_EXPORT = 146;
inline constexpr int IDD_CONVERSION = 149;

// Icons and bitmaps.
inline constexpr int IDR_MAINFRAME = 128;       // application icon
inline constexpr int IDB_TREE_PICTURE = 129;    // 170 x 137, under the folder tree
inline constexpr int IDB_VOLUME_CHANNEL = 130;  // 132 x 17, the volume slider's track
inline constexpr int IDB_VOLUME_FILLED = 131;   // 132 x 17, the track filled
inline constexpr int IDB_VOLUME_THUMB = 132;    // 23 x 11, red key colour in the corners
inline constexpr int IDB_VOLUME_PRESSED = 133;  // 23 x 11, the thumb while dragged
inline constexpr int IDI_EXPORT = 134;          // 24 x 24
inline constexpr int IDI_REFRESH = 135;         // 24 x 24
inline constexpr int IDI_PLAY = 136;            // 24 x 24
inline constexpr int IDI_PLAYING = 137;         // 24 x 24, play while sounding
inline constexpr int IDI_PAUSE = 138;           // 24 x 24
inline constexpr int IDI_STOP = 139;            // 24 x 24
inline constexpr int IDI_PREVIOUS = 140;        // 24 x 24
inline constexpr int IDI_NEXT = 141;            // 24 x 24
inline constexpr int IDI_SOUND = 142;           // 16 x 16
inline constexpr int IDI_MUTED = 143;           // 16 x 16
inline constexpr int IDI_CONVERT = 148;         // 24 x 24

// Strings.
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDS_APP_TITLE = 57344;
inline constexpr std::u16string_view kAboutMenuText = u"关于 Corvane - Voice Player(&A)...";

// The compiled-in picture of icon or bitmap id.
inline QString ArtworkPath(int id) { return QStringLiteral(":/artwork/%1.png").arg(id); }
