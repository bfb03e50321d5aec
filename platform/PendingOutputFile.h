#pragma once
// An output file that appears under its name only when it is complete: it is
// written under a temporary name beside the destination and renamed over the
// destination by Commit. Without a successful Commit nothing is left behind
// and an existing destination is untouched.

#include <cstddef>
#include <string>

#include "platform/Files.h"

class PendingOutputFile {
public:
    // path is the destination in file-system form. Check IsOpen(): false when
    // the temporary file cannot be created.
    explicit PendingOutputFile(std::string path);
    ~PendingOutputFile();
    PendingOutputFile(const PendingOutputFile&) = delete;
    PendingOutputFile& operator=(const PendingOutputFile&) = delete;

    bool IsOpen() const { return file_.IsOpen(); }
    // The open temporary file, for writers that seek (FixWavSizes).
    platform::File& File() { return file_; }
    // Appends bytes; a short write is remembered and makes Commit fail.
    void Write(const void* data, size_t size);
    // Closes the file and renames it to the destination. False (and the
    // temporary file removed) when a write failed or the rename fails.
    bool Commit();

private:
    std::string path_;
    std::string temporary_;
    platform::File file_;
    bool failed_ = false;
    bool committed_ = false;
};
