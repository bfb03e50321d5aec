#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "catalogue/ScanJob.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"

namespace {

void PostDone(ScanJob& job, int found) {
    if (job.postScanDone) job.postScanDone(found);
}

int Scan(ScanJob& job, bool filtered) {
    // The entry buffer is cleared once; each slot is cleared again before it
    // is reused, so a slot never carries bytes of an earlier name.
    auto buffer = std::make_unique<CatalogueEntry[]>(kScanBufferEntries);
    size_t n = 0;

    if (job.m_szFolder.empty()) {
        PostDone(job, 0);
        return 0;
    }
    platform::File out = platform::File::CreateForWriting(kScanResultFile);
    if (!out) {
        PostDone(job, 0);
        return 0;
    }
    std::optional<std::u16string> pattern = platform::JoinPath(job.m_szFolder, kRecordingPattern);
    platform::FileFinder finder;
    if (!pattern || !finder.FindFirst(*pattern)) {
        out.Close();
        platform::DeleteFileAt(kScanResultFile);
        PostDone(job, 0);
        return 0;
    }

    // Opened only for the filtered scan, which reads every header.
    std::optional<RecordingFolder> recordings;
    if (filtered) recordings.emplace(job.m_szFolder);
    do {
        const std::u16string& name = finder.Name();
        if (!IsRecordingName(name)) continue;
        // A name that passes the rule is "VOC", five digits and ".wav" in some
        // letter case: plain ASCII, so it always has a narrow form.
        char nameBuffer[kNameBufferSize] = {};
        for (size_t i = 0; i < name.size(); ++i) nameBuffer[i] = static_cast<char>(name[i]);
        if (filtered && !MatchesQuery(*recordings, job.m_filter, nameBuffer, job.dates)) continue;
        CatalogueEntry& slot = buffer[n];
        std::memset(slot.bytes, 0, sizeof slot.bytes);
        std::memcpy(slot.bytes, nameBuffer, name.size());
        if (++n == kScanBufferEntries) {
            out.Write(buffer.get(), n * sizeof(CatalogueEntry));
            n = 0;
        }
    } while (job.m_bStop.load() == 0 && finder.FindNext());

    out.Write(buffer.get(), n * sizeof(CatalogueEntry));
    int64_t size = out.Size();
    finder.Close();
    out.Close();

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
