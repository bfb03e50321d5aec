// The workbook file replaces only what the program made, and only once the
// new workbook is complete: what lies at the path decides whether it is
// replaced or refused and left as it was; failures name the file and the
// system's reason; a path with any characters is written exactly there;
// several saves to one path at once all succeed.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <latch>
#include <optional>
#include <thread>

#include "platform/TextCodec.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/Faults.h"
#include "tests/support/TempFolder.h"
#include "workbook/CompoundFile.h"
#include "workbook/WorkbookFile.h"

namespace fs = std::filesystem;

namespace {

using workbook::Workbook;
using workbook::WorkbookFile;

constexpr std::u16string_view kTable = u"语音信息";
const std::string kNotOurs = "it already exists and is not a workbook of this program";

// A workbook of the given tables, each with one text column and the row text.
Workbook Book(std::initializer_list<std::u16string_view> tables, std::u16string_view text) {
    Workbook book;
    const workbook::Column columns[] = {{u"序号", workbook::ColumnType::Text}};
    for (std::u16string_view table : tables) book.AddRow(book.AddTable(table, columns), {text});
    return book;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Saves book at path as a workbook of kTable; the error's message, or "".
std::string SaveAt(const std::string& path, const Workbook& book) {
    try {
        WorkbookFile(platform::Utf8ToWide(path), kTable).Save(book);
    } catch (const workbook::WorkbookError& e) {
        return e.what();
    }
    return "";
}

std::string Refusal(const std::string& path, const std::string& reason) {
    return "cannot write the workbook '" + path + "': " + reason;
}

TEST(WorkbookFileTest, OnlyNothingOrAnEarlierWorkbookOfTheTableIsReplaced) {
    TempFolder dir;
    const std::vector<uint8_t> earlier = Book({kTable}, u"old").FileBytes();
    const std::vector<uint8_t> fresh = Book({kTable}, u"new").FileBytes();
    const struct {
        std::string what;
        std::function<void(const std::string& path)> make;
        bool replaced;
    } cases[] = {
        {"nothing", [](const std::string&) {}, true},
        {"an earlier workbook", [&](const std::string& p) { WriteWholeFile(p, earlier); }, true},
        {"an earlier workbook of two tables",
         [&](const std::string& p) { WriteWholeFile(p, Book({u"其他", kTable}, u"old").FileBytes()); }, true},
        {"a link to an earlier workbook",
         [&](const std::string& p) {
             WriteWholeFile(p + ".target", earlier);
             fs::create_symlink(p + ".target", p);
         },
         true},
        {"a workbook of another table",
         [&](const std::string& p) { WriteWholeFile(p, Book({u"其他"}, u"old").FileBytes()); }, false},
        {"a document", [](const std::string& p) { std::ofstream(p) << "keep"; }, false},
        {"an empty file", [](const std::string& p) { std::ofstream{p}; }, false},
        {"a compound file of another stream",
         [](const std::string& p) {
             std::vector<uint8_t> stream(4096, 0);
             std::memcpy(stream.data(), "\x09\x08\x10\x00\x00\x06\x05\x00", 8);
             WriteWholeFile(p, workbook::MakeCompoundFile(u"Book", stream));
         },
         false},
        {"an earlier workbook cut short",
         [&](const std::string& p) { WriteWholeFile(p, {earlier.begin(), earlier.begin() + 4096}); }, false},
        {"a link to a document",
         [](const std::string& p) {
             std::ofstream(p + ".target") << "keep";
             fs::create_symlink(p + ".target", p);
         },
         false},
        {"a folder", [](const std::string& p) { fs::create_directory(p); }, false},
        {"a FIFO", [](const std::string& p) { mkfifo(p.c_str(), 0600); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = dir.Path() / std::to_string(&c - cases);
        fs::create_directory(folder);
        const std::string path = (folder / "list.xls").string();
        c.make(path);
        const std::vector<std::string> before = NamesIn(folder);
        const fs::file_status status = fs::symlink_status(path);
        const std::vector<uint8_t> bytes = fs::is_regular_file(path) ? ReadWholeFile(path) : std::vector<uint8_t>{};

        EXPECT_EQ(SaveAt(path, Book({kTable}, u"new")), c.replaced ? "" : Refusal(path, kNotOurs));
        // A link stays a link: the workbook it names is replaced.
        EXPECT_EQ(fs::symlink_status(path).type(),
                  fs::exists(status) ? status.type() : fs::file_type::regular);
        if (c.replaced) {
            EXPECT_EQ(ReadWholeFile(path), fresh);
        } else if (fs::is_regular_file(path)) {
            EXPECT_EQ(ReadWholeFile(path), bytes);
        }
        // No temporary file stays, nor anything else new.
        EXPECT_EQ(NamesIn(folder), before.empty() ? std::vector<std::string>{"list.xls"} : before);
    }
}

// A file put at the path while the workbook was being made is looked at
// again before the rename: a document is kept, another earlier workbook
// replaced.
TEST(WorkbookFileTest, WhatAppearsAtThePathMeanwhileIsLookedAtAgain) {
    TempFolder dir;
    const std::string path = dir.File("list.xls");
    const std::string meanwhile = "written meanwhile";
    {
        WorkbookFile file(platform::Utf8ToWide(path), kTable);
        std::ofstream(path) << meanwhile;  // another program's file
        try {
            file.Save(Book({kTable}, u"new"));
            ADD_FAILURE() << "a document that appeared meanwhile was replaced";
        } catch (const workbook::WorkbookError& e) {
            EXPECT_EQ(e.what(), Refusal(path, kNotOurs));
        }
    }
    EXPECT_EQ(ReadWholeFile(path), std::vector<uint8_t>(meanwhile.begin(), meanwhile.end()));
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"list.xls"});

    fs::remove(path);
    WorkbookFile file(platform::Utf8ToWide(path), kTable);
    WriteWholeFile(path, Book({kTable}, u"another export").FileBytes());
    file.Save(Book({kTable}, u"new"));
    EXPECT_EQ(ReadWholeFile(path), Book({kTable}, u"new").FileBytes());
}

TEST(WorkbookFileTest, AWorkbookNeverSavedLeavesNoFileAndTheEarlierOneAsItWas) {
    TempFolder dir;
    const std::string path = dir.File("list.xls");
    { WorkbookFile file(platform::Utf8ToWide(dir.File("new.xls")), kTable); }
    const std::vector<uint8_t> earlier = Book({kTable}, u"old").FileBytes();
    WriteWholeFile(path, earlier);
    { WorkbookFile file(platform::Utf8ToWide(path), kTable); }
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"list.xls"});
    EXPECT_EQ(ReadWholeFile(path), earlier);
}

// Every failure names the file and gives the system's reason; an earlier
// workbook at the path stays as it was and no temporary file is left.
TEST(WorkbookFileTest, FailuresNameTheFileAndTheSystemsReason) {
    TempFolder dir;
    const std::vector<uint8_t> earlier = Book({kTable}, u"old").FileBytes();
    std::ofstream(dir.File("file")) << "x";
    const std::string held = dir.File("held.xls");
    WriteWholeFile(held, earlier);
    {
        // Another program writes to the earlier workbook.
        HeldByAnotherProgram holder(held);
        ASSERT_TRUE(holder.Held());
        const struct {
            std::string path;
            std::string reason;
        } cases[] = {
            {dir.File("missing/list.xls"), std::strerror(ENOENT)},
            {dir.File("file/list.xls"), std::strerror(ENOTDIR)},
            {held, std::string("it already exists and cannot be read (") + std::strerror(EAGAIN) + ")"},
        };
        for (const auto& c : cases) EXPECT_EQ(SaveAt(c.path, Book({kTable}, u"new")), Refusal(c.path, c.reason));
    }
    EXPECT_EQ(ReadWholeFile(held), earlier);
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"file", "held.xls"}));

    // The folder goes away while the workbook is being made.
    fs::create_directory(dir.File("sub"));
    {
        WorkbookFile file(platform::Utf8ToWide(dir.File("sub/list.xls")), kTable);
        fs::remove_all(dir.File("sub"));
        try {
            file.Save(Book({kTable}, u"new"));
            ADD_FAILURE() << "saved into a removed folder";
        } catch (const workbook::WorkbookError& e) {
            EXPECT_EQ(e.what(), Refusal(dir.File("sub/list.xls"), std::strerror(ENOENT)));
        }
    }

    // A disk that fills up while the workbook is written: the earlier
    // workbook stays whole.
    const std::string path = dir.File("list.xls");
    WriteWholeFile(path, earlier);
    const int status = RunWithFileSizeLimit(4096, [&] {
        return SaveAt(path, Book({kTable}, std::u16string(3000, u'新'))) == Refusal(path, std::strerror(EFBIG)) ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadWholeFile(path), earlier);
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"file", "held.xls", "list.xls"}));
}

// Quotes, semicolons, what once was a connection string's syntax, a leading
// dash, blanks and line breaks: the workbook lies exactly at the path named.
TEST(WorkbookFileTest, APathWithAnyCharactersIsWrittenExactlyThere) {
    TempFolder dir;
    const std::vector<std::string> names = {
        "a;b.xls",        "it's \"quoted\".xls", "Data Source=x.xls; Extended Properties=Excel 8.0;",
        "-dash.xls",      " blank .xls",         "语音 信息(01月02日).XLS",
        "line\nbreak.xls"};
    const Workbook book = Book({kTable}, u"row");
    for (const std::string& name : names) EXPECT_EQ(SaveAt(dir.File(name), book), "") << name;
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(NamesIn(dir.Path()), sorted);
    for (const std::string& name : names) EXPECT_EQ(ReadWholeFile(dir.File(name)), book.FileBytes()) << name;
}

// Saves to one path from several threads at once, each claiming the path
// before any renames: every one succeeds, the last rename wins, and no
// temporary file is left; the same over an earlier workbook.
TEST(WorkbookFileTest, SeveralSavesToOnePathAtOnceAllSucceed) {
    TempFolder dir;
    const std::string path = dir.File("list.xls");
    constexpr int kSavers = 6;
    std::vector<Workbook> books;
    for (int i = 0; i < kSavers; ++i) books.push_back(Book({kTable}, platform::Utf8ToWide(std::to_string(i))));
    for (bool earlier : {false, true}) {
        SCOPED_TRACE(earlier);
        if (earlier) WriteWholeFile(path, Book({kTable}, u"old").FileBytes());
        std::latch claimed(kSavers);
        std::vector<std::string> errors(kSavers);
        std::vector<std::thread> savers;
        for (int i = 0; i < kSavers; ++i) {
            savers.emplace_back([&, i] {
                try {
                    std::optional<WorkbookFile> file;
                    try {
                        file.emplace(platform::Utf8ToWide(path), kTable);
                    } catch (...) {
                        claimed.count_down();
                        throw;
                    }
                    claimed.arrive_and_wait();
                    file->Save(books[i]);
                } catch (const workbook::WorkbookError& e) {
                    errors[i] = e.what();
                }
            });
        }
        for (std::thread& t : savers) t.join();
        EXPECT_EQ(errors, std::vector<std::string>(kSavers));
        const std::vector<uint8_t> written = ReadWholeFile(path);
        EXPECT_TRUE(
            std::any_of(books.begin(), books.end(), [&](const Workbook& b) { return b.FileBytes() == written; }));
        EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"list.xls"});
    }
}

}  // namespace
