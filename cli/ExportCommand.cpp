// tolvan-cli export: what selecting a folder in the tree and then "导出列表"
// does, without the dialog.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/FolderCatalogue.h"
#include "convert/ExportWorker.h"
#include "platform/DocumentsFolder.h"
#include "platform/TextCodec.h"

namespace {

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

bool IsPath(std::string_view value) { return !value.empty(); }

int RunExport(const Arguments& args) {
    FolderCatalogue listing;
    if (!listing.Open(args, args.Operands()[0])) return 1;
    Catalogue& catalogue = listing.catalogue;
    catalogue.OnFolderChanged(listing.folder);
    if (!listing.Scanned(args)) return 1;
    if (catalogue.EntryCount() == 0) {
        std::fprintf(stderr, "%s\n", platform::WideToUtf8(kNothingToExport).c_str());
        return 2;
    }

    ExportJob job;
    job.entries = catalogue.Entries();
    job.m_szRecFolder = catalogue.Folder();
    job.m_szSaveFolder = platform::DocumentsFolder();
    if (args.Has("--out")) job.m_szOutPath = platform::Utf8ToWide(ArgumentPath(args.Value("--out")));
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

}  // namespace

const CommandSpec kExportCommand = {
    "export",
    RunExport,
    "export FOLDER [--out PATH]",
    "Lists FOLDER as selecting it in the folder tree does, then writes the whole\n"
    "catalogue into an Excel 97-2003 workbook as \"导出列表\" does: into the\n"
    "user's documents folder (XDG_DOCUMENTS_DIR of the user-dirs file in\n"
    "$XDG_CONFIG_HOME or ~/.config, else the home folder) under\n"
    "\"导出-语音信息(MM月DD日 HH时MM分SS秒).XLS\", or to PATH. Prints the whole\n"
    "path written; progress goes to stderr when it is a terminal. An empty\n"
    "catalogue shows \"没有导出的记录！\" (status 2); a FOLDER that is not a\n"
    "readable folder or whose list cannot be kept, and a workbook that cannot be\n"
    "written, are errors (status 1, no file left); at PATH only an earlier\n"
    "workbook of this program is replaced, once the new one is complete;\n"
    "anything else (another file, a device, a folder) is refused.\n",
    {{"--out", "needs a path", IsPath}},
    1,
    1,
};
