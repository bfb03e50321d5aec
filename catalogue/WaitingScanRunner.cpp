#include <memory>

#include "catalogue/ScanJob.h"
#include "catalogue/ScanRunner.h"

ScanResult WaitingScanRunner::RunScan(const std::u16string& folder, bool useFilter, const QueryFilter& filter) {
    auto job = std::make_shared<ScanJob>();
    job->m_szFolder = folder;
    job->m_bUseFilter = useFilter ? 1 : 0;
    if (useFilter) job->m_filter = filter;
    StartScanWorker(job).join();
    return {job->resultSize.load(), job->failure};
}
