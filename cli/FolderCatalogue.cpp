#include "cli/FolderCatalogue.h"

#include <cerrno>

#include "cli/Commands.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"

bool FolderCatalogue::Open(const Arguments& args, const std::string& given) {
    const std::string path = ArgumentPath(given);
    if (!platform::IsReadableFolder(path)) {
        args.Failure(given + " is not a readable folder: " + platform::ErrorText(errno));
        return false;
    }
    folder = platform::Utf8ToWide(path);
    return true;
}

bool FolderCatalogue::Scanned(const Arguments& args) const {
    if (view.ScanFailure().empty()) return true;
    args.Failure(platform::WideToUtf8(view.ScanFailure()));
    return false;
}
