#include "platform/ProgramFolder.h"

#include <filesystem>
#include <system_error>

#include "platform/TextCodec.h"

namespace platform {

std::u16string ProgramFolder() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return Utf8ToWide(folder);
}

}  // namespace platform
