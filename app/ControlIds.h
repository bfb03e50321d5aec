#pragma once
// Ids of the main window's controls; a button's id is also its command. The
// transport buttons' ids come from the playback's own list, so the two cannot
// drift apart.

#include "playback/PlaybackView.h"

namespace ids {
inline constexpr int kOk = 1;      // hidden default button
inline constexpr int kCancel = 2;  // hidden; command 2 closes the window
inline constexpr int kRecordList = 1000;
inline constexpr int kTreePicture = 1001;
inline constexpr int kListFrame = 1002;
inline constexpr int kExport = 1003;
inline constexpr int kRefresh = 1004;
inline constexpr int kPlay = kIdPlay;
inline constexpr int kPause = kIdPause;
inline constexpr int kStop = kIdStop;
inline constexpr int kPrevious = kIdPrevious;
inline constexpr int kNext = kIdNext;
inline constexpr int kPosition = kIdPosition;
inline constexpr int kMute = kIdMute;
inline constexpr int kVolume = kIdVolume;
inline constexpr int kStartDate = 1013;
inline constexpr int kEndDate = 1014;
inline constexpr int kCallType = 1015;
inline constexpr int kCondition = 1016;
inline constexpr int kKeyword = 1017;
inline constexpr int kQuery = 1018;
inline constexpr int kQueryCaption = 1019;
inline constexpr int kStartDateLabel = 1020;
inline constexpr int kEndDateLabel = 1021;
inline constexpr int kCallTypeLabel = 1022;
inline constexpr int kConditionLabel = 1023;
inline constexpr int kKeywordLabel = 1024;
inline constexpr int kQueryFrame = 1025;
inline constexpr int kPlaybackFrame = 1026;
inline constexpr int kNowPlaying = kIdNowPlaying;
inline constexpr int kFolderTree = 1030;
inline constexpr int kPrevPage = 1031;
inline constexpr int kNextPage = 1032;
inline constexpr int kPageLabel = 1033;
inline constexpr int kPageNumber = 1034;
inline constexpr int kPageNumberLabel = 1036;
inline constexpr int kConvert = 1039;

// System command of the About item.
inline constexpr int IDM_ABOUTBOX = 0x0010;
}  // namespace ids
