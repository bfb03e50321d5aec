#include "convert/ConvertWorker.h"

#include <sys/stat.h>

#include <cerrno>
#include <new>
#include <optional>

#include "catalogue/RecordRow.h"
#include "convert/LdvToWav.h"
#include "platform/AsciiCase.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"
#include "playback/PcmWavHeader.h"

namespace {

// True when name ends in the three letters of suffix, each in either case.
bool EndsInLetters(std::u16string_view name, std::u16string_view suffix) {
    if (name.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (platform::FoldAscii(name[name.size() - suffix.size() + i]) != suffix[i]) return false;
    return true;
}

// A file that may be replaced by a conversion's output: none, or the output
// of an earlier conversion (a PCM WAV).
bool MayReplace(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return true;
    if (!S_ISREG(st.st_mode)) return false;
    platform::File existing = platform::File::OpenForReading(path);
    uint8_t head[kPcmWavHeaderSize] = {};
    return existing && existing.Read(head, sizeof head) == sizeof head && IsPcmWavHeader(head);
}

// Reads the source whole; "" when read, else why not.
std::string ReadSource(const std::string& path, std::vector<uint8_t>& stream) {
    platform::File in = platform::File::OpenForReading(path);
    const int64_t size = in.Size();
    if (!in || size < 0) return "cannot be read: " + platform::ErrorText(in ? errno : in.Error());
    try {
        stream.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return "cannot be read: too large to hold in memory";
    }
    if (in.Read(stream.data(), stream.size()) == stream.size()) return "";
    return "cannot be read whole: " + (in.Error() ? platform::ErrorText(in.Error()) : std::string("it grew shorter"));
}

std::string CannotWrite(const std::string& path, int error) {
    return "cannot write the output " + path + ": " + platform::ErrorText(error);
}

// Converts one source; "" when converted, else why not.
std::string ConvertOne(const ConvertSource& source, const std::u16string& dest, G729Decoder& decoder,
                       const std::atomic<int>& stop, ConversionView& view, long attempted, long total,
                       bool& stopped) {
    // The output's name is the source's with its last four characters
    // replaced; a name shorter than that would reach into the folder.
    if (source.name.size() < 4) return "name too short to give an output name";
    std::u16string outputName = source.name;
    outputName.replace(outputName.size() - 4, 4, u".wav");
    const std::optional<std::string> sourcePath = platform::SystemPath(platform::JoinPath(source.folder, source.name));
    const std::optional<std::string> outputPath = platform::SystemPath(platform::JoinPath(dest, outputName));
    if (!sourcePath || !outputPath) return "a name no file can have";
    std::vector<uint8_t> stream;
    if (std::string why = ReadSource(*sourcePath, stream); !why.empty()) return why;
    if (!MayReplace(*outputPath)) return "the destination holds another file of that name";
    PendingOutputFile out(*outputPath);
    if (!out.IsOpen()) return "cannot create the output " + *outputPath + ": " + platform::ErrorText(out.Error());

    view.SetStatusText(ConvertingText(source.name, attempted, total));
    view.SetProgress(0);
    switch (DecodeLdvToWav(stream, out.File(), decoder, &stop, [&view](int percent) { view.SetProgress(percent); })) {
    case LdvDecodeResult::kStopped:
        stopped = true;
        return "stopped";
    case LdvDecodeResult::kWriteFailed:
        return CannotWrite(*outputPath, out.File().Error());
    case LdvDecodeResult::kDecoded:
        break;
    }
    return out.Commit() ? "" : CannotWrite(*outputPath, out.Error());
}

}  // namespace

std::u16string ConvertingText(std::u16string_view name, long attempted, long total) {
    return u"正在转换" + std::u16string(name) + u"文件(" + DecimalText(attempted) + u"/" + DecimalText(total) + u")";
}

std::u16string ConversionSummary(long total, long converted) {
    return u"共" + DecimalText(total) + u"个LDV文件,转换完成" + DecimalText(converted) + u"个LDV文件";
}

void ConvertWorker(ConvertJob& job, ConversionView& view, G729Decoder& decoder) {
    // m_bStop is not cleared here: a Cancel given before the worker started
    // must still stop it.
    long total = 0, converted = 0, attempted = 0;
    for (const ConvertSource& s : job.sources)
        if (EndsInLetters(s.name, u"ldv")) ++total;
    for (const ConvertSource& source : job.sources) {
        if (job.m_bStop.load()) return;
        if (EndsInLetters(source.name, u"wav")) {
            job.outcomes.push_back({source.name, ConvertOutcome::kSkipped, {}});
            continue;
        }
        ++attempted;
        bool stopped = false;
        std::string why =
            ConvertOne(source, job.m_pszDestFolder, decoder, job.m_bStop, view, attempted, total, stopped);
        if (stopped) {
            job.outcomes.push_back({source.name, ConvertOutcome::kStopped, why});
            return;
        }
        if (why.empty()) ++converted;
        job.outcomes.push_back({source.name, why.empty() ? ConvertOutcome::kConverted : ConvertOutcome::kNotConverted,
                                std::move(why)});
    }
    if (job.m_bStop.load()) return;
    job.m_bDone = 1;
    view.SetStatusText(ConversionSummary(total, converted));
    view.ShowFinished();
}
