// Runs a fuzz target over its committed corpus once, outside libFuzzer: every
// file of each folder given (and every file given) goes through
// LLVMFuzzerTestOneInput, so the sanitizer builds check the corpora as tests.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
        } else {
            inputs.emplace_back(argv[i]);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no corpus files given\n");
        return 1;
    }
    for (const auto& path : inputs) {
        // The input lives in its own allocation of its exact size, as under
        // libFuzzer, so AddressSanitizer sees a read beyond its end.
        const std::vector<uint8_t> bytes = Bytes(path);
        std::vector<uint8_t> copy(bytes);
        LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
    }
    std::printf("%zu inputs run\n", inputs.size());
    return 0;
}
