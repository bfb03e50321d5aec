#pragma once
// Ids of the main window's controls; a button's id is also its command. The
// ones the catalogue and the playback read or write come from their own
// lists, so the two cannot drift apart.

#include "catalogue/CatalogueView.h"
#include "playback/PlaybackView.h"

namespace ids {
inline constexpr int kOk = 1;      // hidden default button
inline constexpr int kCancel = 2;  // hidden; command 2 closes the window
inline constexpr int kRecordList = kIdRecordList;
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
inline constexpr int kStartDate = kIdStartDate;
inline constexpr int kEndDate = kIdEndDate;
inline constexpr int kCallType = kIdCallType;
inline constexpr int kCondition = kIdCondition;
inline constexpr int kKeyword = kIdKeyword;
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
inline constexpr int kFolderTree = kIdFolderTree;
inline constexpr int kPrevPage = 1031;
inline constexpr int kNextPage = 1032;
inline constexpr int kPageLabel = kIdPageLabel;
inline constexpr int kPageNumber = kIdPageNumber;
inline constexpr int kPageNumberLabel = 1036;
inline constexpr int kConvert = 1039;

// System command of the About item.
inline constexpr int IDM_ABOUTBOX = 0x0010;
}  // namespace ids
