#pragma once
// Where the G.729 test vectors lie: the folder TOLVAN_G729_VECTORS names,
// else the design data beside the project. Tests that need them skip when
// the folder is absent.

#include <cstdlib>
#include <filesystem>

inline std::filesystem::path G729VectorsDir() {
    const char* env = std::getenv("TOLVAN_G729_VECTORS");
    if (env && *env) return env;
    return std::filesystem::path(TOLVAN_SHARED_DIR) / "g729a" / "vectors";
}
