#pragma once
// How a scan is run: the window shows its modal scan dialog while the worker
// runs; tolvan-cli and the tests wait for the worker directly.

#include <cstdint>
#include <string>

#include "catalogue/QueryFilter.h"

// What a scan left behind.
struct ScanResult {
    // The size of the result file; 0 means no result (nothing found, a
    // failure or a cancel).
    uint32_t size = 0;
    // Why there is no result when the scan failed to write it, naming the
    // file and giving the system's reason (UTF-8); empty otherwise.
    std::string failure;
};

class ScanRunner {
public:
    virtual ~ScanRunner() = default;
    // Scans folder (with filter when useFilter).
    virtual ScanResult RunScan(const std::u16string& folder, bool useFilter, const QueryFilter& filter) = 0;
};

// Runs the worker on its own thread and waits for it to end.
class WaitingScanRunner : public ScanRunner {
public:
    ScanResult RunScan(const std::u16string& folder, bool useFilter, const QueryFilter& filter) override;
};
