#pragma once
// The batch conversion: every entry of the catalogue whose name does not end
// in "wav" is read whole from its folder and decoded as an LDV stream into a
// PCM WAV file of the same name ending in ".wav" in the destination folder.
// It runs on a worker thread behind its progress dialog and shows what it
// does through ConversionView.

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "codec/G729Decoder.h"

// Why the conversion does not start (the first begins with a space).
inline constexpr std::u16string_view kPlayingMessage = u" 正在播放语音过程中，请播放完后再转换语音！";
inline constexpr std::u16string_view kNothingToConvert = u"当前列表中没有需要转换的语音文件！";

// "正在转换%s文件(%ld/%ld)" and "共%ld个LDV文件,转换完成%ld个LDV文件".
std::u16string ConvertingText(std::u16string_view name, long attempted, long total);
std::u16string ConversionSummary(long total, long converted);

// What the worker shows; called on the worker's thread, each call returning
// once the user can see it.
class ConversionView {
public:
    virtual ~ConversionView() = default;
    virtual void SetStatusText(std::u16string_view text) = 0;
    virtual void SetProgress(int percent) = 0;
    // Everything went through: button 2 becomes "完成".
    virtual void ShowFinished() = 0;
};

// One file to convert: its folder and its name, as the program's wide texts
// (a catalogue entry's CP936 name widened). The file is opened by its own
// name, whether CP936 can hold it or not.
struct ConvertSource {
    std::u16string folder;
    std::u16string name;
};

// What became of one source.
struct ConvertOutcome {
    enum Status { kConverted, kSkipped, kNotConverted, kStopped };
    std::u16string name;
    Status status;
    std::string reason;  // why it was not converted, with the system's reason
};

// Shared by the dialog and its worker: the dialog sets m_bStop, the worker
// sets m_bDone when it went through every source. Sources, destination and
// outcomes are not touched by the dialog while the worker runs.
struct ConvertJob {
    std::vector<ConvertSource> sources;
    std::u16string m_pszDestFolder;  // ends in '/'
    std::atomic<int> m_bStop{0};
    std::atomic<int> m_bDone{0};
    std::vector<ConvertOutcome> outcomes;
};

// Converts job's sources in order with decoder. An existing file at an
// output path is replaced only when it is a PCM WAV (an earlier conversion's
// output); every output is written under a temporary name and renamed when
// all its frames are in, so a stop or a failure leaves nothing under the
// final name. A source that cannot be converted gets its reason in its
// outcome and the batch goes on with the next. m_bStop is checked before
// each source and twice per frame; a stop returns at once without the
// summary.
void ConvertWorker(ConvertJob& job, ConversionView& view, G729Decoder& decoder);
