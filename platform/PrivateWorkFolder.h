#pragma once
// The process's own working folder. The scan's result file WAVFIND.$$$ and
// the player's temp.$$$ keep their fixed names in the current directory, so
// two programs started in one folder would share them, and a user's own file
// of that name would be replaced. Each process therefore works in a folder
// of its own (mode 700, under $XDG_RUNTIME_DIR, else the system's temporary
// folder), made the current directory at start and removed at exit.
//
// A process that is killed cannot remove its folder. Each folder therefore
// holds its ".owner" file open for writing while its process lives (an open
// file description lock, which the system releases however the process
// ends), and a new one removes the folders of this program whose owner file
// nobody holds. Folders without that file are left alone.
//
// A termination signal that ends the process removes the folder too (see
// TerminationSignals).

#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/TerminationSignals.h"

namespace platform {

class PrivateWorkFolder {
public:
    // Removes the folders left by processes that ended without removing
    // theirs, then makes the folder and enters it. Check Ok(); Error() says
    // why not.
    PrivateWorkFolder();
    // Goes back to the starting directory and removes the folder with
    // everything left in it.
    ~PrivateWorkFolder();
    PrivateWorkFolder(const PrivateWorkFolder&) = delete;
    PrivateWorkFolder& operator=(const PrivateWorkFolder&) = delete;

    bool Ok() const { return !path_.empty(); }
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }
    // The current directory the process started in.
    const std::string& StartingDirectory() const { return start_; }

    // path as the user gave it: relative ones are taken from the starting
    // directory. An empty path stays empty.
    std::string Resolve(const std::string& path) const;

private:
    std::string start_;
    std::string path_;
    std::string error_;
    File owner_;  // held for writing while the process lives
    std::optional<RemovedOnTermination> removal_;  // of path_
};

}  // namespace platform
