// Folder scan over a large archive: the unfiltered scan against `find` on the
// same folder, the filtered scan (every recording opened once), loading the
// result with the first page filled, and `tolvan-cli list` as a whole process
// (the folder's list, and "--keyword 138" beside a Python loop that reads the
// same 32 header bytes of every recording). The runs of all of them alternate;
// each figure is given as min, median and max, and per recording.
//
//   tolvan-bench-scan [RECORDINGS] [RUNS] [FOLDER]
//       defaults: 100000 recordings, 5 runs, a temporary folder. A FOLDER
//       given is kept, and its recordings are made only once.
//
// Names beyond the 100,000 that five digits give differ in letter case
// ("voc00001.wav", "VOC00001.WAV", ...), all of them matching "VOC*.wav".

#include <unistd.h>

#include <algorithm>
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
#include "tests/support/RunProgram.h"
#include "tools/SampleRecording.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// One measured piece of work and its timings, in seconds.
struct Timed {
    const char* label;
    std::vector<double> runs;

    double Min() const { return *std::min_element(runs.begin(), runs.end()); }
    double Max() const { return *std::max_element(runs.begin(), runs.end()); }
    double Median() const {
        std::vector<double> v = runs;
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
};

template <typename Work>
void TimeOnce(Timed& timed, Work work) {
    Clock::time_point start = Clock::now();
    work();
    timed.runs.push_back(Seconds(start));
}

// The name of the index-th recording (from 0).
std::string RecordingName(int index) {
    static const char* const kForms[] = {"VOC%05d.wav", "voc%05d.wav", "VOC%05d.WAV", "Voc%05d.wav",
                                         "vOC%05d.wav", "VOC%05d.Wav", "voc%05d.WAV", "VoC%05d.wAv"};
    char name[32];
    std::snprintf(name, sizeof name, kForms[(index / 100000) % 8], index % 100000);
    return name;
}

void MakeRecordings(const fs::path& folder, int count) {
    const fs::path made = folder / (".made-" + std::to_string(count));
    if (fs::exists(made)) return;
    std::printf("making %d recordings in %s ...\n", count, folder.c_str());
    fs::create_directories(folder);
    for (int i = 1; i <= count; ++i) WriteArchiveRecording((folder / RecordingName(i - 1)).string(), i, 4096);
    std::ofstream(made).put('\n');
}

// Hands the catalogue a result file saved earlier; writing it is timed on its
// own and left out of the load's figure.
class ReplayScanRunner : public ScanRunner {
public:
    explicit ReplayScanRunner(std::vector<char> result) : result_(std::move(result)) {}
    ScanResult RunScan(const std::u16string&, bool, const QueryFilter&) override {
        std::ofstream(kScanResultFile, std::ios::binary).write(result_.data(), result_.size());
        return {static_cast<uint32_t>(result_.size()), {}};
    }

private:
    std::vector<char> result_;
};

// Reads the header bytes of every recording the way a short script would,
// counting the numbers holding "138".
const char kPythonPeer[] = R"(import os, sys
folder = sys.argv[1]
found = 0
for name in sorted(os.listdir(folder), key=lambda n: (n.lower(), n)):
    low = name.lower()
    if len(name) != 12 or not low.startswith('voc') or not low.endswith('.wav') or not name[3:8].isdigit():
        continue
    with open(os.path.join(folder, name), 'rb') as f:
        f.seek(256)
        header = f.read(32)
    if len(header) == 32 and b'138' in header[1:18].split(b'\0')[0]:
        found += 1
print(found)
)";

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const bool keep = argc > 3;
    const fs::path root =
        keep ? fs::absolute(argv[3]) : fs::temp_directory_path() / ("tolvan-scan-bench-" + std::to_string(getpid()));
    const fs::path folder = root / "recordings";
    const fs::path work = root / "work";  // the result file goes to the current directory
    MakeRecordings(folder, count);
    fs::create_directories(work);
    fs::current_path(work);
    std::ofstream("peer.py") << kPythonPeer;

    const std::string cli = TOLVAN_CLI;
    const std::string findCommand = "find '" + folder.string() + "' -maxdepth 1 -iname 'VOC*.wav' > /dev/null";
    const std::u16string wideFolder = platform::Utf8ToWide(folder.string());
    WaitingScanRunner scanner;
    QueryRequest panel{u"", u"", std::u16string(kAllTypesText), u"", u""};
    const QueryFilter everything = MakeQueryFilter(panel);  // empty fields: every recording dated 1971 or later
    panel.keyword = u"138";
    const QueryFilter keyword = MakeQueryFilter(panel);

    uint32_t unfilteredSize = 0, filteredSize = 0, keywordSize = 0;
    std::string cliLabel, cliKeywordLabel, peerCount;
    Timed find{"find -maxdepth 1 -iname 'VOC*.wav'", {}};
    Timed unfiltered{"unfiltered scan (ScanAll)", {}};
    Timed filtered{"filtered scan, empty fields", {}};
    Timed filteredKeyword{"filtered scan, keyword 138", {}};
    Timed filteredInTurn{"  the same, headers read in turn", {}};
    Timed cliList{"tolvan-cli list FOLDER", {}};
    Timed cliKeyword{"tolvan-cli list FOLDER --keyword 138", {}};
    Timed python{"python3 loop, 32 bytes per file", {}};
    for (int i = 0; i < runs; ++i) {
        TimeOnce(find, [&] {
            if (std::system(findCommand.c_str()) != 0) std::perror("find");
        });
        TimeOnce(unfiltered, [&] { unfilteredSize = scanner.RunScan(wideFolder, false, QueryFilter{}).size; });
        TimeOnce(filtered, [&] { filteredSize = scanner.RunScan(wideFolder, true, everything).size; });
        TimeOnce(filteredKeyword, [&] { keywordSize = scanner.RunScan(wideFolder, true, keyword).size; });
        TimeOnce(filteredInTurn, [&] {
            ScanJob job;
            job.m_szFolder = wideFolder;
            job.m_bUseFilter = 1;
            job.m_filter = keyword;
            job.headerReaders = 1;
            ScanWithFilter(job);
            if (job.resultSize.load() != keywordSize) std::fprintf(stderr, "the scans in turn found otherwise\n");
        });
        TimeOnce(cliList, [&] { cliLabel = RunProgram(work.string(), cli, {"list", folder.string()}).out; });
        TimeOnce(cliKeyword, [&] {
            cliKeywordLabel = RunProgram(work.string(), cli, {"list", folder.string(), "--keyword", "138"}).out;
        });
        TimeOnce(python, [&] { peerCount = RunProgram(work.string(), "/usr/bin/python3", {"peer.py", folder}).out; });
    }

    scanner.RunScan(wideFolder, false, QueryFilter{});
    std::ifstream in(kScanResultFile, std::ios::binary);
    std::vector<char> result((std::istreambuf_iterator<char>(in)), {});
    in.close();
    fs::remove(kScanResultFile);
    MemoryCatalogueView view;
    ReplayScanRunner replay(result);
    Catalogue catalogue(view, replay);
    Timed load{"LoadScanResult + FillPage", {}};
    Timed copyOnly{"", {}};
    for (int i = 0; i < runs; ++i) {
        TimeOnce(load, [&] { catalogue.OnFolderChanged(wideFolder); });
        TimeOnce(copyOnly, [&] {
            std::ofstream(kScanResultFile, std::ios::binary).write(result.data(), result.size());
        });
    }
    for (size_t i = 0; i < load.runs.size(); ++i) load.runs[i] = std::max(0.0, load.runs[i] - copyOnly.runs[i]);
    fs::remove(kScanResultFile);

    auto firstLine = [](const std::string& s) { return s.substr(0, s.find('\n')); };
    std::printf("recordings: %d, %d runs; result file %u bytes (filtered %u, keyword 138 %u)\n", count, runs,
                unfilteredSize, filteredSize, keywordSize);
    std::printf("page label %s; tolvan-cli: %s / %s; python found %s\n",
                platform::WideToUtf8(view.Label()).c_str(), firstLine(cliLabel).c_str(),
                firstLine(cliKeywordLabel).c_str(), firstLine(peerCount).c_str());
    std::printf("%-40s %9s %9s %9s %12s\n", "", "min ms", "median", "max", "ns/rec (med)");
    for (const Timed* t :
         {&find, &unfiltered, &filtered, &filteredKeyword, &filteredInTurn, &load, &cliList, &cliKeyword, &python})
        std::printf("%-40s %9.1f %9.1f %9.1f %12.0f\n", t->label, t->Min() * 1000, t->Median() * 1000,
                    t->Max() * 1000, t->Median() * 1e9 / count);
    std::printf("tolvan-cli --keyword 138 / python (median): %.2f; headers on %d threads / in turn: %.2f\n",
                cliKeyword.Median() / python.Median(), ScanJob::DefaultHeaderReaders(),
                filteredKeyword.Median() / filteredInTurn.Median());

    fs::current_path(fs::temp_directory_path());
    if (keep)
        fs::remove_all(work);
    else
        fs::remove_all(root);
    return 0;
}
