#pragma once
// A fresh folder for one test, removed with everything in it afterwards, and
// small file helpers around it. Optionally the process works inside it while
// the test runs (temp.$$$ is written to the current directory).

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

class ScratchFolder {
public:
    explicit ScratchFolder(bool enter = false) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolvan-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
        path_ = pattern;
        if (enter) {
            previous_ = std::filesystem::current_path();
            std::filesystem::current_path(path_);
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!previous_.empty()) std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

inline std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) | (uint32_t{bytes[offset + 3]} << 24);
}

inline std::vector<int16_t> SamplesFrom(const std::vector<uint8_t>& bytes, size_t offset) {
    std::vector<int16_t> samples;
    for (size_t i = offset; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return samples;
}
