// Folder scan over a large archive: the unfiltered scan against `find` on the
// same folder, the filtered scan (every recording opened once), and loading
// the result with the first page filled.
//
//   tolvan-bench-scan [RECORDINGS] [RUNS]     defaults: 100000 recordings, 5 runs

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanJob.h"
#include "platform/TextCodec.h"
#include "tools/SampleRecording.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Best (lowest) of runs timings of work, in seconds.
template <typename Work>
double Best(int runs, Work work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        Clock::time_point start = Clock::now();
        work();
        best = std::min(best, Seconds(start));
    }
    return best;
}

// Hands the catalogue a result file saved earlier; writing it is timed on its
// own and left out of the load's figure.
class ReplayScanRunner : public ScanRunner {
public:
    explicit ReplayScanRunner(std::vector<char> result) : result_(std::move(result)) {}
    uint32_t RunScan(const std::u16string&, bool, const QueryFilter&) override {
        std::ofstream(kScanResultFile, std::ios::binary).write(result_.data(), result_.size());
        return static_cast<uint32_t>(result_.size());
    }

private:
    std::vector<char> result_;
};

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    fs::path root = fs::temp_directory_path() / ("tolvan-scan-bench-" + std::to_string(getpid()));
    fs::path folder = root / "recordings";
    fs::create_directories(folder);
    fs::current_path(root);

    std::printf("making %d recordings in %s ...\n", count, folder.c_str());
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "VOC%05d.wav", (i - 1) % 100000);
        WriteArchiveRecording((folder / name).string(), i, 4096);
    }

    const std::string findCommand = "find '" + folder.string() + "' -maxdepth 1 -name 'VOC*.wav' > /dev/null";
    double find = Best(runs, [&] {
        if (std::system(findCommand.c_str()) != 0) std::perror("find");
    });

    std::u16string wideFolder = platform::Utf8ToWide(folder.string());
    WaitingScanRunner scanner;
    uint32_t unfilteredSize = 0, filteredSize = 0;
    double unfiltered = Best(runs, [&] {
        unfilteredSize = scanner.RunScan(wideFolder, false, QueryFilter{});
    });
    std::ifstream in(kScanResultFile, std::ios::binary);
    std::vector<char> result((std::istreambuf_iterator<char>(in)), {});
    in.close();

    MemoryCatalogueView panel;
    QueryFilter filter = ReadQueryFilter(panel);  // empty fields: every recording dated 1971 or later
    double filtered = Best(runs, [&] { filteredSize = scanner.RunScan(wideFolder, true, filter); });
    fs::remove(kScanResultFile);

    MemoryCatalogueView view;
    ReplayScanRunner replay(result);
    Catalogue catalogue(view, replay);
    double load = Best(runs, [&] { catalogue.OnFolderChanged(wideFolder); });
    double copyOnly = Best(runs, [&] {
        std::ofstream(kScanResultFile, std::ios::binary).write(result.data(), result.size());
    });
    fs::remove(kScanResultFile);

    std::printf("recordings: %d, result file %u bytes (filtered %u), page label %s\n", count, unfilteredSize,
                filteredSize, platform::WideToUtf8(view.ControlText(kIdPageLabel)).c_str());
    std::printf("find -maxdepth 1 -name 'VOC*.wav'  %8.1f ms\n", find * 1000);
    std::printf("unfiltered scan (ScanAll)           %8.1f ms  (%.2fx find)\n", unfiltered * 1000, unfiltered / find);
    std::printf("filtered scan (ScanWithFilter)      %8.1f ms\n", filtered * 1000);
    std::printf("LoadScanResult + FillPage           %8.1f ms\n", std::max(0.0, load - copyOnly) * 1000);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(root);
    return 0;
}
