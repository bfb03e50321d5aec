#include "workbook/WorkbookFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Files.h"
#include "platform/PendingOutputFile.h"
#include "platform/TextCodec.h"
#include "workbook/CompoundFile.h"

namespace workbook {

namespace {

// The start of the workbook stream that holds its sheet names: the writer
// puts them behind a few hundred bytes of globals.
constexpr size_t kGlobalsRead = 64 * 1024;

}  // namespace

WorkbookFile::WorkbookFile(std::u16string_view path, std::u16string_view table) : path_(path), table_(table) {
    std::optional<std::string> systemPath = platform::SystemPath(path_);
    if (!systemPath) Fail("the path holds a zero character");
    systemPath_ = std::move(*systemPath);
    CheckReplaceable();
    output_ = std::make_unique<PendingOutputFile>(systemPath_);
    if (!output_->IsOpen()) Fail(platform::ErrorText(output_->Error()));
}

WorkbookFile::~WorkbookFile() = default;

void WorkbookFile::Fail(const std::string& reason) const {
    throw WorkbookError("cannot write the workbook '" + platform::WideToUtf8(path_) + "': " + reason);
}

void WorkbookFile::CheckReplaceable() const {
    struct stat st {};
    if (stat(systemPath_.c_str(), &st) != 0) return;  // nothing there, or creating the file will say why
    constexpr const char* kNotOurs = "it already exists and is not a workbook of this program";
    if (!S_ISREG(st.st_mode)) Fail(kNotOurs);
    errno = 0;
    platform::File existing = platform::File::OpenForReading(systemPath_);
    if (!existing)
        Fail(std::string("it already exists and cannot be read (") + std::strerror(errno ? errno : EIO) + ")");
    const std::optional<std::vector<uint8_t>> globals = ReadCompoundStream(existing, u"Workbook", kGlobalsRead);
    const std::optional<std::vector<std::u16string>> sheets = globals ? SheetNames(*globals) : std::nullopt;
    if (!sheets || std::find(sheets->begin(), sheets->end(), table_) == sheets->end()) Fail(kNotOurs);
}

void WorkbookFile::Save(const Workbook& book) {
    if (!output_) Fail("the workbook was saved already");
    std::unique_ptr<PendingOutputFile> output = std::move(output_);
    const std::vector<uint8_t> bytes = book.FileBytes();
    output->Write(bytes.data(), bytes.size());
    CheckReplaceable();
    if (!output->Commit()) Fail(platform::ErrorText(output->Error()));
}

}  // namespace workbook
