// tolvan-cli convert DEST FILE...: the batch conversion of the FILEs into
// DEST, in the order given and in one process, so that the decoder's state
// carries from file to file as it does in the window.

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "convert/ConvertWorker.h"
#include "platform/TextCodec.h"

namespace {

const char kUsage[] = "usage: tolvan-cli convert DEST FILE...\n";

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

}  // namespace

int RunConvertCommand(const CommandArgs& args) {
    if (args.size() < 2) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string destPath = ArgumentPath(args[0]);
    struct stat st {};
    if (stat(destPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "tolvan-cli convert: %s is not a folder\n", args[0].c_str());
        return 1;
    }
    ConvertJob job;
    std::u16string dest = platform::Utf8ToWide(std::filesystem::path(destPath).lexically_normal().string());
    if (dest.back() != u'/') dest += u'/';
    job.m_pszDestFolder = dest;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::filesystem::path file = std::filesystem::path(ArgumentPath(args[i])).lexically_normal();
        std::string name;
        if (!platform::WideToNarrow(platform::Utf8ToWide(file.filename().string()), name)) {
            std::fprintf(stderr, "tolvan-cli convert: %s: a name the narrow code page cannot hold\n", args[i].c_str());
            return 1;
        }
        job.sources.push_back({platform::Utf8ToWide(file.parent_path().string()), name});
    }

    StderrConversionView view;
    g729::DecoderState decoderState;  // the process decodes one stream
    G729Decoder decoder(decoderState);
    ConvertWorker(job, view, decoder);
    std::printf("%s\n", platform::WideToUtf8(view.Last()).c_str());
    int failed = 0;
    for (const ConvertOutcome& o : job.outcomes) {
        if (o.status != ConvertOutcome::kNotConverted) continue;
        ++failed;
        std::fprintf(stderr, "tolvan-cli convert: %s not converted: %s\n",
                     platform::WideToUtf8(platform::NarrowToWide(o.name)).c_str(), o.reason.c_str());
    }
    return failed == 0 ? 0 : 1;
}
