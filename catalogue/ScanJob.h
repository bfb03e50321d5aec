#pragma once
// One folder scan: what the scan dialog hands to its worker thread, and the
// two worker procedures that turn the folder into the scan-result file.
//
// The job is shared between the dialog and the worker (std::shared_ptr), so
// it stays alive until both are done with it, whatever the dialog does after
// Cancel.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "catalogue/QueryFilter.h"

// The scan-result file, in the process's current directory.
inline constexpr char kScanResultFile[] = "WAVFIND.$$$";
// The scan's search pattern inside the folder.
inline constexpr std::u16string_view kRecordingPattern = u"VOC*.wav";
// Entries gathered before each write to the result file.
inline constexpr size_t kScanBufferEntries = 4000;

struct ScanJob {
    QueryFilter m_filter{};    // applied by ScanWithFilter only
    int m_bUseFilter = 0;      // 1 runs ScanWithFilter, 0 runs ScanAll
    std::u16string m_szFolder;  // the folder to scan
    std::atomic<int> m_bStop{0};  // set by Cancel, polled before each further file

    // Size of the finished result file; set by the worker before it reports
    // success, 0 otherwise.
    std::atomic<uint32_t> resultSize{0};
    // Why the result file could not be written, naming it and giving the
    // system's reason; empty when it could. Set by the worker before its done
    // notice, read once it has ended.
    std::string failure;

    // The done notice: called on the worker thread with 1 (result file
    // written) or 0 (nothing found, or the scan did not run). A cancelled scan
    // that had found entries reports nothing. May be empty.
    std::function<void(int found)> postScanDone;

    // The filtered scan's message state (worker thread only).
    ScanDates dates;

    // Threads that read the filtered scan's headers: the worker and helpers
    // it starts. 1 reads each recording in turn; the result is the same.
    int headerReaders = DefaultHeaderReaders();

    // Two where the machine has a second core (the headers' system calls are
    // then shared between them), else one.
    static int DefaultHeaderReaders() { return std::thread::hardware_concurrency() > 1 ? 2 : 1; }
};

// The worker procedures. Each writes kScanResultFile in pieces of
// kScanBufferEntries entries and returns 1 after a completed enumeration, 0
// after an early failure or a write the disk did not take whole (the result
// file is removed, the done notice says 0, and a result file that could not
// be made or written whole sets the job's failure).
int ScanAll(ScanJob& job);
int ScanWithFilter(ScanJob& job);

// Starts the worker the job asks for on a new thread.
std::thread StartScanWorker(std::shared_ptr<ScanJob> job);
