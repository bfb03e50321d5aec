#include "platform/AppDataFolder.h"

#include <cstdlib>

namespace platform {

std::string AppDataFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') return config;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config";
    return {};
}

}  // namespace platform
