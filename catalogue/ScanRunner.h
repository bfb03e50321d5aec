#pragma once
// How a scan is run: the window shows its modal scan dialog while the worker
// runs; tolvan-cli and the tests wait for the worker directly.

#include <cstdint>
#include <string>

#include "catalogue/QueryFilter.h"

class ScanRunner {
public:
    virtual ~ScanRunner() = default;
    // Scans folder (with filter when useFilter) and returns the size of the
    // result file the worker left behind; 0 means no result (nothing found,
    // failure or cancel).
    virtual uint32_t RunScan(const std::u16string& folder, bool useFilter, const QueryFilter& filter) = 0;
};

// Runs the worker on its own thread and waits for it to end.
class WaitingScanRunner : public ScanRunner {
public:
    uint32_t RunScan(const std::u16string& folder, bool useFilter, const QueryFilter& filter) override;
};
