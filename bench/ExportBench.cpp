// The export of a large archive as a user runs it: the whole
// `tolvan-cli export FOLDER --out FILE` against `tolvan-cli list FOLDER --all`
// on the same folder. Both scan the folder and open every recording (the
// listing for its header and size, the export for its header, size and first
// bytes); the export also builds and writes the workbook.
//
//   tolvan-bench-export [RECORDINGS] [RUNS]     defaults: 60000 recordings, 5 runs

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/SampleRecording.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Seconds command takes; -1 when it fails.
double Time(const std::string& command) {
    Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        return -1;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 60000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    fs::path root = fs::temp_directory_path() / ("tolvan-export-bench-" + std::to_string(getpid()));
    fs::path folder = root / "recordings";
    fs::create_directories(folder);

    std::printf("making %d recordings in %s ...\n", count, folder.c_str());
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "VOC%05d.wav", (i - 1) % 100000);
        WriteArchiveRecording((folder / name).string(), i, 4000 * (1 + i % 300));
    }

    const std::string cli = TOLVAN_CLI;
    const fs::path workbook = root / "list.xls";
    const std::string cd = "cd '" + root.string() + "' && ";
    const std::string listCommand = cd + "'" + cli + "' list '" + folder.string() + "' --all > /dev/null";
    const std::string exportCommand =
        cd + "'" + cli + "' export '" + folder.string() + "' --out '" + workbook.string() + "' > /dev/null";
    // The two commands take turns, so that a change in the machine's load
    // falls on both; the best run of each counts.
    double list = 1e9, exported = 1e9;
    for (int i = 0; i < runs && list > 0 && exported > 0; ++i) {
        list = std::min(list, Time(listCommand));
        exported = std::min(exported, Time(exportCommand));
    }
    const auto size = fs::exists(workbook) ? fs::file_size(workbook) : 0;

    std::printf("recordings: %d, workbook %ju bytes, best of %d runs\n", count, static_cast<uintmax_t>(size), runs);
    std::printf("tolvan-cli list --all     %8.1f ms\n", list * 1000);
    std::printf("tolvan-cli export         %8.1f ms  (%.2fx the listing)\n", exported * 1000, exported / list);
    fs::remove_all(root);
    return list > 0 && exported > 0 ? 0 : 1;
}
