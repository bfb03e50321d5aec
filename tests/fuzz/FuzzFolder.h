#pragma once
// The fuzz targets' scratch folder: one temporary folder for the process,
// removed at exit.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "tests/support/TempFolder.h"

TempFolder& FuzzFolder();

// The scratch folder as the current directory while it lives (the conversion
// writes temp.$$$ there); the previous one again afterwards, so that
// libFuzzer's relative corpus and artifact paths keep their meaning.
class InFuzzFolder {
public:
    InFuzzFolder();
    ~InFuzzFolder();
    InFuzzFolder(const InFuzzFolder&) = delete;
    InFuzzFolder& operator=(const InFuzzFolder&) = delete;

private:
    std::filesystem::path previous_;
};

// Replaces the file called name in the scratch folder with size bytes at data
// and returns its path.
std::string WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size);
