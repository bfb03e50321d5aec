#include "tests/fuzz/FuzzFolder.h"

#include <fstream>
#include <stdexcept>

TempFolder& FuzzFolder() {
    static TempFolder folder;
    return folder;
}

std::string WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = FuzzFolder().File(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

InFuzzFolder::InFuzzFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(FuzzFolder().Path());
}

InFuzzFolder::~InFuzzFolder() { std::filesystem::current_path(previous_); }
