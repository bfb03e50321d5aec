#pragma once
// The user's documents folder: where the export puts its workbooks and where
// the save dialog opens.

#include <string>

namespace platform {

// XDG_DOCUMENTS_DIR as the user-dirs file ($XDG_CONFIG_HOME, else
// $HOME/.config, "user-dirs.dirs") sets it, when that folder exists; else
// $HOME. In wide form with a '/' at the end (bytes that are not UTF-8 carried
// as Utf8ToWide carries them); empty when neither is known.
std::u16string DocumentsFolder();

}  // namespace platform
