// tolvan-cli export: what selecting a folder in the tree and then "导出列表"
// does, without the dialog.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "catalogue/Catalogue.h"
#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanRunner.h"
#include "cli/Commands.h"
#include "convert/ExportWorker.h"
#include "platform/DocumentsFolder.h"
#include "platform/TextCodec.h"

namespace {

const char kUsage[] = "usage: tolvan-cli export FOLDER [--out PATH]\n";

// The dialog's progress bar as a line on a terminal; the texts are the
// command's own output.
class TerminalExportView : public ExportView {
public:
    explicit TerminalExportView(bool showProgress) : showProgress_(showProgress) {}
    ~TerminalExportView() override {
        if (shown_ >= 0) std::fputc('\n', stderr);
    }
    void SetProgress(int percent) override {
        if (!showProgress_ || percent == shown_) return;
        shown_ = percent;
        std::fprintf(stderr, "\r%3d%%", percent);
        std::fflush(stderr);
    }
    void SetStatusText(std::u16string_view) override {}
    void SetButtonText(std::u16string_view) override {}

private:
    bool showProgress_;
    int shown_ = -1;
};

}  // namespace

int RunExportCommand(const CommandArgs& args) {
    std::string folder, out;
    bool haveFolder = false, haveOut = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--out") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                std::fprintf(stderr, "tolvan-cli export: --out needs a path\n%s", kUsage);
                return 1;
            }
            out = args[++i];
            haveOut = true;
        } else if (!haveFolder && (a.empty() || a[0] != '-' || a == "-")) {
            folder = a;
            haveFolder = true;
        } else {
            std::fprintf(stderr, "tolvan-cli export: unexpected argument '%s'\n%s", a.c_str(), kUsage);
            return 1;
        }
    }
    if (!haveFolder) {
        std::fputs(kUsage, stderr);
        return 1;
    }

    MemoryCatalogueView view;
    WaitingScanRunner scanner;
    Catalogue catalogue(view, scanner);
    catalogue.OnFolderChanged(platform::Utf8ToWide(ArgumentPath(folder)));
    if (catalogue.EntryCount() == 0) {
        std::fprintf(stderr, "%s\n", platform::WideToUtf8(kNothingToExport).c_str());
        return 2;
    }

    ExportJob job;
    job.entries = catalogue.Entries();
    job.m_szRecFolder = catalogue.Folder();
    job.m_szSaveFolder = platform::DocumentsFolder();
    if (haveOut) job.m_szOutPath = platform::Utf8ToWide(ArgumentPath(out));
    {
        TerminalExportView progress(isatty(STDERR_FILENO) == 1);
        job.view = &progress;
        ExportWorker(job);
    }
    if (!job.error.empty()) {
        std::fprintf(stderr, "%s\n", job.error.c_str());
        return 1;
    }
    std::printf("%s\n", platform::WideToUtf8(job.m_szPath).c_str());
    return 0;
}
