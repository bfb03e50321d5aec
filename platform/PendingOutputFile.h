#pragma once
// An output file that appears under its name only when it is complete: it is
// written under a temporary name beside the destination and renamed over the
// destination by Commit. Without a successful Commit nothing is left behind
// and an existing destination is untouched.
//
// A destination that exists and is neither a regular file nor a folder (a
// device such as /dev/null, a FIFO) cannot be renamed over: it is opened as
// a stream at once, the output is gathered in a temporary file in the
// current folder, and Commit copies it into the stream. A folder is refused.
//
// The temporary file is removed by a termination signal that ends the
// process while it is pending (see TerminationSignals).

#include <cstddef>
#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/TerminationSignals.h"

class PendingOutputFile {
public:
    // path is the destination in file-system form. Check IsOpen(): false when
    // the temporary file cannot be created or the destination cannot be
    // written (a folder, a FIFO nobody reads, a device refusing writes).
    explicit PendingOutputFile(std::string path);
    ~PendingOutputFile();
    PendingOutputFile(const PendingOutputFile&) = delete;
    PendingOutputFile& operator=(const PendingOutputFile&) = delete;

    bool IsOpen() const { return file_.IsOpen(); }
    // The open temporary file, for writers that seek (FixWavSizes).
    platform::File& File() { return file_; }
    // Appends bytes; a short write is remembered and makes Commit fail.
    void Write(const void* data, size_t size);
    // Closes the file and puts it in place: renamed over the destination, or
    // copied into the stream. False (and the temporary file removed) when a
    // write or the close failed, or the rename or the copy fails.
    bool Commit();
    // Why the file could not be opened, a write fell short or Commit failed
    // (a system error number or a Files.h reason); 0 when nothing failed.
    int Error() const { return error_; }

private:
    bool CopyIntoStream();

    std::string path_;
    std::string temporary_;
    std::optional<platform::RemovedOnTermination> removal_;  // of temporary_
    platform::File file_;
    int stream_ = -1;  // the destination opened as a stream, or -1
    bool failed_ = false;
    bool committed_ = false;
    int error_ = 0;
};
