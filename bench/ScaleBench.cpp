// One folder of a million recordings, worked through as the window works: the
// folder selected (unfiltered scan, first page), paging to the end, the
// export of the whole catalogue, which must refuse a catalogue larger than
// one worksheet with its message, and a query over every header (filtered
// scan). Reports the time of each and the peak memory, and tolvan-cli list
// beside find(1), then removes the folder.
//
//   tolvan-bench-scale [RECORDINGS]     default: 1000000 recordings
//
// The folder is made in the system's temporary folder (TMPDIR): on a slow
// disk, TMPDIR=/dev/shm keeps the making and the removal of a million files
// from taking most of the run.
//
// A name is "VOC", five digits and ".wav" in some letter case, so beyond
// 100,000 recordings the names differ in the case of their letters.

#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue/Catalogue.h"
#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanJob.h"
#include "convert/ExportWorker.h"
#include "platform/TextCodec.h"
#include "tools/SampleRecording.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Peak resident memory of the process so far, in MiB.
double PeakMiB() {
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Resident memory now, in MiB (VmRSS).
double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

void Report(const char* what, double seconds) {
    std::printf("%-44s %9.2f s   resident %7.1f MiB, peak %7.1f MiB\n", what, seconds, ResidentMiB(), PeakMiB());
    std::fflush(stdout);
}

// Recording i (from 0): its number is i % 100000, and i / 100000 picks the
// letter case of "VOC" and "wav", one bit a letter.
std::string RecordingName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "VOC%05d.wav", i % 100000);
    const int caseBits = i / 100000;
    const int letters[] = {0, 1, 2, 9, 10, 11};
    for (int b = 0; b < 6; ++b) {
        if (!(caseBits & (1 << b))) continue;
        char& c = name[letters[b]];
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

class SilentExportView : public ExportView {
public:
    void SetProgress(int) override {}
    void SetStatusText(std::u16string_view text) override { status = text; }
    void SetButtonText(std::u16string_view) override {}
    std::u16string status;
};

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000000;
    if (count < 1 || count > 64 * 100000) {
        std::fprintf(stderr, "tolvan-bench-scale: between 1 and 6400000 recordings\n");
        return 1;
    }
    const fs::path root = fs::temp_directory_path() / ("tolvan-scale-bench-" + std::to_string(getpid()));
    const fs::path folder = root / "recordings";

    // Each recording is a 512-byte head (no audio): one block and one inode.
    struct statvfs space {};
    if (statvfs(fs::temp_directory_path().c_str(), &space) == 0) {
        const double needGiB = count * 4096.0 * 1.1 / (1 << 30);
        const double freeGiB = static_cast<double>(space.f_bavail) * space.f_frsize / (1 << 30);
        std::printf("%s: %.1f GiB and %lu inodes free; about %.1f GiB and %d inodes needed\n",
                    fs::temp_directory_path().c_str(), freeGiB, static_cast<unsigned long>(space.f_favail), needGiB,
                    count);
        if (freeGiB < needGiB || space.f_favail < static_cast<fsblkcnt_t>(count) + 1000) {
            std::fprintf(stderr, "tolvan-bench-scale: not enough room in %s\n", fs::temp_directory_path().c_str());
            return 1;
        }
    }
    fs::create_directories(folder);
    fs::current_path(root);  // the scan's result file goes here

    Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i) {
        if (!WriteArchiveRecording((folder / RecordingName(i)).string(), i + 1, 0)) {
            std::fprintf(stderr, "tolvan-bench-scale: cannot write recording %d\n", i);
            fs::current_path(fs::temp_directory_path());
            fs::remove_all(root);
            return 1;
        }
    }
    std::printf("recordings: %d in %s\n", count, folder.c_str());
    Report("making the folder", Seconds(start));

    // The whole command as a user runs it, beside find(1) listing the same
    // names in the same (case-insensitive) order.
    const std::string listCommand = std::string(TOLVAN_CLI) + " list '" + folder.string() + "' > /dev/null";
    start = Clock::now();
    if (std::system(listCommand.c_str()) != 0) std::fprintf(stderr, "tolvan-bench-scale: tolvan-cli list failed\n");
    const double list = Seconds(start);
    rusage children {};
    getrusage(RUSAGE_CHILDREN, &children);  // tolvan-cli is the only child so far
    const std::string findCommand = "find '" + folder.string() + "' -maxdepth 1 -iname 'VOC*.wav' | sort -f > /dev/null";
    start = Clock::now();
    if (std::system(findCommand.c_str()) != 0) std::perror("find");
    const double find = Seconds(start);
    std::printf("%-44s %9.2f s   peak %7.1f MiB\n", "tolvan-cli list FOLDER (first page)", list,
                children.ru_maxrss / 1024.0);
    std::printf("%-44s %9.2f s   (tolvan-cli list: %.2fx)\n", "find -iname 'VOC*.wav' | sort -f", find, list / find);

    const std::u16string wideFolder = platform::Utf8ToWide(folder.string());
    MemoryCatalogueView view;
    WaitingScanRunner scanner;
    Catalogue catalogue(view, scanner);

    start = Clock::now();
    catalogue.OnFolderChanged(wideFolder);
    Report("folder selected: scan, load, first page", Seconds(start));
    std::printf("  %s; catalogue %zu bytes (%zu a recording)\n",
                platform::WideToUtf8(view.Label()).c_str(),
                catalogue.Entries().size() * sizeof(CatalogueEntry), sizeof(CatalogueEntry));

    const int pages = catalogue.PageCount();
    start = Clock::now();
    const int turns = std::min(pages - 1, 1000);
    for (int i = 0; i < turns; ++i) catalogue.OnNextPage();
    const double paging = Seconds(start);
    Report("next page, 1000 times (each page read)", paging);
    std::printf("  %.3f ms a page\n", turns > 0 ? paging * 1000 / turns : 0.0);
    start = Clock::now();
    catalogue.ShowPage(pages - 1);
    Report("last page shown", Seconds(start));

    SilentExportView shown;
    ExportJob job;
    job.entries = catalogue.Entries();
    job.m_szRecFolder = catalogue.Folder();
    job.m_szSaveFolder = platform::Utf8ToWide(root.string() + "/");
    job.view = &shown;
    start = Clock::now();
    ExportWorker(job);
    Report("export", Seconds(start));
    std::printf("  %s; workbook left: %s\n", platform::WideToUtf8(shown.status).c_str(),
                fs::exists(platform::WideToUtf8(job.m_szPath)) ? "yes" : "no");

    // Every recording of one calendar day of one type with a number holding
    // "1380000": every header is read.
    start = Clock::now();
    catalogue.OnQuery({u"2016-01-01", u"2016-01-01", u"全部主叫", u"1380000", u""});
    Report("query (filtered scan of every header)", Seconds(start));
    std::printf("  %s\n", platform::WideToUtf8(view.Label()).c_str());

    start = Clock::now();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(root);
    Report("folder removed", Seconds(start));
    // A catalogue beyond one worksheet (65,533 recordings) must be refused.
    const bool refused = !job.error.empty();
    return refused == (count > 65533) ? 0 : 1;
}
