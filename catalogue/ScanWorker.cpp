#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "catalogue/ScanJob.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"

namespace {

void PostDone(ScanJob& job, int found) {
    if (job.postScanDone) job.postScanDone(found);
}

// "cannot write the scan result /run/.../WAVFIND.$$$: No space left on device"
std::string ResultFailure(std::string_view what, int error) {
    return std::string(what) + " the scan result " + platform::InCurrentFolder(kScanResultFile) + ": " +
           platform::ErrorText(error);
}

// The result file's entries, gathered in a buffer and written
// kScanBufferEntries at a time.
class ResultWriter {
public:
    explicit ResultWriter(platform::File& out)
        : out_(out), buffer_(std::make_unique<CatalogueEntry[]>(kScanBufferEntries)) {}

    // Adds an entry holding only the name.
    void Add(const char* name, size_t nameLength) {
        // The buffer is cleared once on allocation; each slot is cleared again
        // before it is reused, so a slot never carries bytes of an earlier name.
        CatalogueEntry& slot = buffer_[n_];
        std::memset(slot.bytes, 0, sizeof slot.bytes);
        std::memcpy(slot.bytes, name, nameLength);
        if (++n_ == kScanBufferEntries) Flush();
    }
    void Flush() {
        if (out_.Write(buffer_.get(), n_ * sizeof(CatalogueEntry)) != n_ * sizeof(CatalogueEntry)) failed_ = true;
        n_ = 0;
    }
    // A write fell short (a full disk): the file holds a part of the result.
    bool Failed() const { return failed_; }

private:
    platform::File& out_;
    std::unique_ptr<CatalogueEntry[]> buffer_;
    size_t n_ = 0;
    bool failed_ = false;
};

// A name that passes IsRecordingName is "VOC", five digits and ".wav" in some
// letter case: plain ASCII, so it always has a narrow form.
void NarrowName(const std::u16string& name, char (&nameBuffer)[kNameBufferSize]) {
    std::memset(nameBuffer, 0, sizeof nameBuffer);
    for (size_t i = 0; i < name.size(); ++i) nameBuffer[i] = static_cast<char>(name[i]);
}

// The plain way: each recording in turn is read (for the filtered scan),
// tested and added. Stops before a further recording once a stop is asked.
void ScanInTurn(ScanJob& job, bool filtered, platform::FileFinder& finder, ResultWriter& result) {
    // Opened only for the filtered scan, which reads every header.
    std::optional<RecordingFolder> recordings;
    if (filtered) recordings.emplace(job.m_szFolder);
    do {
        const std::u16string& name = finder.Name();
        if (!IsRecordingName(name)) continue;
        char nameBuffer[kNameBufferSize];
        NarrowName(name, nameBuffer);
        if (filtered && !MatchesQuery(*recordings, job.m_filter, nameBuffer, job.dates)) continue;
        result.Add(nameBuffer, name.size());
    } while (job.m_bStop.load() == 0 && finder.FindNext());
}

// One recording of a window of the filtered scan, and its header once read.
struct PendingRecording {
    char nameBuffer[kNameBufferSize];
    size_t nameLength;
    RecordingHeader header;
    bool read;                    // header holds the recording's header
    std::atomic<bool> attempted;  // a reader has tried (read is then final)
};

// Reads the headers of window[0, count), taking runs of recordings from next
// as the other readers do, until all are taken or a stop is asked.
void ReadHeaders(const RecordingFolder& folder, PendingRecording* window, size_t count, std::atomic<size_t>& next,
                 const std::atomic<int>& stop) {
    constexpr size_t kRun = 32;  // few atomic steps, and an even share when one thread is held up
    for (size_t begin; (begin = next.fetch_add(kRun)) < count;) {
        for (size_t i = begin; i < std::min(begin + kRun, count); ++i) {
            if (stop.load() != 0) return;
            PendingRecording& p = window[i];
            p.read = folder.ReadHeader(std::string_view(p.nameBuffer, p.nameLength), p.header);
            p.attempted.store(true, std::memory_order_release);
        }
    }
}

// The filtered scan with its header reads shared by readers threads (the
// system calls that open, lock, read and close each recording are most of its
// time): the recordings are taken a window at a time, their headers read at
// once by the worker and readers - 1 helpers, then tested and added in folder
// order on the worker, exactly as ScanInTurn does. A stop ends the scan
// before a further recording, as there.
void ScanWithReaders(ScanJob& job, int readers, platform::FileFinder& finder, ResultWriter& result) {
    constexpr size_t kWindow = kScanBufferEntries;
    const RecordingFolder recordings(job.m_szFolder);
    auto window = std::make_unique<PendingRecording[]>(kWindow);
    bool more = true;  // the finder stands at a name not yet taken
    bool first = true;
    while (more) {
        size_t count = 0;
        for (; more && count < kWindow; more = finder.FindNext()) {
            const std::u16string& name = finder.Name();
            if (!IsRecordingName(name)) continue;
            PendingRecording& p = window[count++];
            NarrowName(name, p.nameBuffer);
            p.nameLength = name.size();
            p.read = false;
            p.attempted.store(false, std::memory_order_relaxed);
        }

        std::atomic<size_t> next{0};
        std::vector<std::thread> helpers;
        for (int i = 1; i < readers && count > 1; ++i) {
            try {
                helpers.emplace_back(ReadHeaders, std::cref(recordings), window.get(), count, std::ref(next),
                                     std::cref(job.m_bStop));
            } catch (const std::system_error&) {
                break;  // no thread to be had: the readers there are take every recording
            }
        }
        ReadHeaders(recordings, window.get(), count, next, job.m_bStop);
        for (std::thread& helper : helpers) helper.join();

        for (size_t i = 0; i < count; ++i) {
            if (!first && job.m_bStop.load() != 0) return;
            first = false;
            PendingRecording& p = window[i];
            // Left by readers that saw the stop first: read here, as the plain
            // scan reads the one recording it always handles.
            if (!p.attempted.load(std::memory_order_acquire))
                p.read = recordings.ReadHeader(std::string_view(p.nameBuffer, p.nameLength), p.header);
            // The summary ReadRecordingHeader writes behind the name never
            // reaches the result file, so only the info is made.
            RecordingInfo info{};
            if (p.read) FillRecordingInfo(p.header, info);
            if (InfoMatchesQuery(job.m_filter, info, job.dates)) result.Add(p.nameBuffer, p.nameLength);
        }
        if (job.m_bStop.load() != 0) return;
    }
}

int Scan(ScanJob& job, bool filtered) {
    if (job.m_szFolder.empty()) {
        PostDone(job, 0);
        return 0;
    }
    platform::File out = platform::File::CreateForWriting(kScanResultFile);
    if (!out) {
        job.failure = ResultFailure("cannot make", out.Error());
        PostDone(job, 0);
        return 0;
    }
    platform::FileFinder finder;
    if (!finder.FindFirst(platform::JoinPath(job.m_szFolder, kRecordingPattern))) {
        out.Close();
        platform::DeleteFileAt(kScanResultFile);
        PostDone(job, 0);
        return 0;
    }

    ResultWriter result(out);
    if (filtered && job.headerReaders > 1)
        ScanWithReaders(job, job.headerReaders, finder, result);
    else
        ScanInTurn(job, filtered, finder, result);
    result.Flush();
    int64_t size = out.Size();
    finder.Close();
    const bool closed = out.Close();

    // A result the disk did not take whole is no result: a part of the list
    // would be shown as if it were all of it.
    if (result.Failed() || !closed) {
        job.failure = ResultFailure("cannot write", out.Error());
        platform::DeleteFileAt(kScanResultFile);
        PostDone(job, 0);
        return 0;
    }
    if (size > 0 && job.m_bStop.load() == 0) {
        job.resultSize.store(static_cast<uint32_t>(size));
        PostDone(job, 1);
    } else {
        platform::DeleteFileAt(kScanResultFile);
        if (size <= 0) PostDone(job, 0);
    }
    return 1;
}

}  // namespace

int ScanAll(ScanJob& job) { return Scan(job, false); }

int ScanWithFilter(ScanJob& job) { return Scan(job, true); }

std::thread StartScanWorker(std::shared_ptr<ScanJob> job) {
    return std::thread([job = std::move(job)] {
        if (job->m_bUseFilter)
            ScanWithFilter(*job);
        else
            ScanAll(*job);
    });
}
