#include "tests/support/TempFolder.h"

#include <stdlib.h>

#include <stdexcept>

#include "platform/TextCodec.h"

TempFolder::TempFolder(bool enter) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvan-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    if (enter) {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (!previous_.empty()) std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
}

std::u16string TempFolder::Wide() const { return platform::Utf8ToWide(path_.string()); }
