#pragma once
// The user's application-data folder: where the program keeps its one
// settings file.

#include <string>

namespace platform {

// $XDG_CONFIG_HOME, else $HOME/.config, in file-system form without a
// trailing '/'; empty when neither is set.
std::string AppDataFolder();

}  // namespace platform
