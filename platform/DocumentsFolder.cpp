#include "platform/DocumentsFolder.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>

#include "platform/AppDataFolder.h"
#include "platform/TextCodec.h"

namespace platform {

namespace {

// The value of XDG_DOCUMENTS_DIR in a user-dirs file: a line
// XDG_DOCUMENTS_DIR="VALUE", where VALUE is an absolute path or "$HOME/..."
// with \" and \\ escaped. The last such line counts, as in a shell.
std::optional<std::string> DocumentsEntry(const std::string& file, const std::string& home) {
    std::ifstream in(file, std::ios::binary);
    std::optional<std::string> found;
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    for (std::string line; std::getline(in, line);) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, kKey.size(), kKey) != 0) continue;
        std::string value;
        bool closed = false;
        for (size_t i = start + kKey.size(); i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                value += line[++i];
            } else if (line[i] == '"') {
                closed = true;
                break;
            } else {
                value += line[i];
            }
        }
        if (!closed) continue;
        if (value == "$HOME" || value.starts_with("$HOME/")) {
            if (home.empty()) continue;
            value = home + value.substr(5);
        } else if (!value.starts_with('/')) {
            continue;
        }
        found = value;
    }
    return found;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::u16string AsFolder(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return Utf8ToWide(path);
}

}  // namespace

std::u16string DocumentsFolder() {
    const char* homeVar = std::getenv("HOME");
    const std::string home = homeVar ? homeVar : "";
    if (const std::string config = AppDataFolder(); !config.empty()) {
        // $HOME itself is the user-dirs way of saying "no such folder".
        if (auto documents = DocumentsEntry(config + "/user-dirs.dirs", home);
            documents && IsFolder(*documents))
            return AsFolder(*documents);
    }
    if (home.empty()) return {};
    return AsFolder(home);
}

}  // namespace platform
