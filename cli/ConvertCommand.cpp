// tolvan-cli convert DEST FILE...: the batch conversion of the FILEs into
// DEST, in the order given and in one process, so that the decoder's state
// carries from file to file as it does in the window.

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "convert/ConvertWorker.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"

namespace {

// Progress texts on stderr, one a line; the bar is not shown.
class StderrConversionView : public ConversionView {
public:
    void SetStatusText(std::u16string_view text) override { last_ = text; }
    void SetProgress(int percent) override {
        if (percent == 0) std::fprintf(stderr, "%s\n", platform::WideToUtf8(last_).c_str());
    }
    void ShowFinished() override {}
    const std::u16string& Last() const { return last_; }

private:
    std::u16string last_;
};

int RunConvert(const Arguments& args) {
    const std::vector<std::string>& operands = args.Operands();
    const std::string destPath = ArgumentPath(operands[0]);
    struct stat st {};
    const int error = stat(destPath.c_str(), &st) != 0 ? errno : S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (error != 0) return args.Failure(operands[0] + " is not a folder: " + platform::ErrorText(error));
    ConvertJob job;
    std::u16string dest = platform::Utf8ToWide(std::filesystem::path(destPath).lexically_normal().string());
    if (dest.back() != u'/') dest += u'/';
    job.m_pszDestFolder = dest;
    // Each file by its own name, whatever the narrow code page makes of it.
    for (size_t i = 1; i < operands.size(); ++i) {
        const std::filesystem::path file = std::filesystem::path(ArgumentPath(operands[i])).lexically_normal();
        job.sources.push_back(
            {platform::Utf8ToWide(file.parent_path().string()), platform::Utf8ToWide(file.filename().string())});
    }

    StderrConversionView view;
    g729::DecoderState decoderState;  // the process decodes one stream
    G729Decoder decoder(decoderState);
    ConvertWorker(job, view, decoder);
    std::printf("%s\n", platform::WideToUtf8(view.Last()).c_str());
    int failed = 0;
    // One outcome for each source, in order.
    for (size_t i = 0; i < job.outcomes.size(); ++i) {
        if (job.outcomes[i].status != ConvertOutcome::kNotConverted) continue;
        ++failed;
        args.Failure(operands[i + 1] + " not converted: " + job.outcomes[i].reason);
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

const CommandSpec kConvertCommand = {
    "convert",
    RunConvert,
    "convert DEST FILE...",
    "The batch conversion (\"语音转换\") of the FILEs, in the order given and in\n"
    "one process, into the existing folder DEST: every FILE whose name does not\n"
    "end in \"wav\" is decoded as an LDV stream into DEST under its name with the\n"
    "last four characters replaced by \".wav\". An existing file there is\n"
    "replaced only when it is a PCM WAV. Progress texts go to stderr, the\n"
    "summary \"共T个LDV文件,转换完成C个LDV文件\" to stdout; a file that could not\n"
    "be converted is named on stderr with the reason (status 1), and the others\n"
    "are converted all the same.\n",
    {},
    2,
};
