#include "platform/PendingOutputFile.h"

#include <unistd.h>

#include <cstdio>

PendingOutputFile::PendingOutputFile(std::string path)
    : path_(std::move(path)), temporary_(path_ + "." + std::to_string(getpid()) + ".part") {
    file_ = platform::File::CreateForWriting(temporary_);
}

PendingOutputFile::~PendingOutputFile() {
    if (committed_) return;
    if (file_.IsOpen()) {
        file_.Close();
        platform::DeleteFileAt(temporary_);
    }
}

void PendingOutputFile::Write(const void* data, size_t size) {
    if (file_.Write(data, size) != size) failed_ = true;
}

bool PendingOutputFile::Commit() {
    if (!file_.IsOpen()) return false;
    file_.Close();
    if (failed_ || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        platform::DeleteFileAt(temporary_);
        return false;
    }
    committed_ = true;
    return true;
}
