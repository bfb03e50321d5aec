// tolvan-cli export, run as the built program: the workbook it names on
// stdout, read back by xlrd, at --out or in the user's documents folder; an
// empty folder; a workbook that cannot be written; what --out replaces;
// several exports to one path at once; paths with any characters.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/playback/FileBytes.h"
#include "tests/support/RunProgram.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WorkbookReader.h"
#include "tools/SampleFolder.h"

namespace fs = std::filesystem;

namespace {

class ExportCommandTest : public testing::Test {
protected:
    void SetUp() override {
        if (std::string why = XlrdMissing(); !why.empty()) GTEST_SKIP() << why;
        samples_ = work_.File("samples");
        ASSERT_TRUE(WriteSampleFolder(samples_));
    }
    ProgramResult Export(std::vector<std::string> args) {
        args.insert(args.begin(), "export");
        ProgramResult r = RunProgram(work_.Str(), TOLVAN_CLI, args);
        EXPECT_FALSE(fs::exists(work_.File("WAVFIND.$$$")));
        return r;
    }

    // The 45 sample recordings' workbook lies at path.
    void ExpectWorkbook(const std::string& path) {
        std::string error;
        auto sheets = ReadWithXlrd(path, error);
        EXPECT_EQ(error, "") << path;
        ASSERT_EQ(sheets.size(), 1u) << path;
        EXPECT_EQ(sheets[0].rows.size(), 48u) << path;
    }
    std::vector<std::string> NamesInWork() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(work_.Path())) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder work_;
    std::string samples_;
};

TEST_F(ExportCommandTest, WritesTheWorkbookNamedByOut) {
    const std::string out = work_.File("列表.xls");
    ProgramResult r = Export({samples_, "--out", out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, out + "\n");
    EXPECT_EQ(r.err, "");  // no progress when stderr is not a terminal
    std::string error;
    auto sheets = ReadWithXlrd(out, error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(sheets.size(), 1u);
    ASSERT_EQ(sheets[0].rows.size(), 48u);
    EXPECT_EQ(sheets[0].rows[45][0], "T:45");
    EXPECT_EQ(sheets[0].rows[47][0], "T:主叫时长");
}

TEST_F(ExportCommandTest, WithoutOutTheWorkbookGoesToTheDocumentsFolder) {
    TempFolder home;
    const ScopedEnvironment homeVar("HOME", home.Str());
    const std::string config = home.File("配置");
    const ScopedEnvironment configVar("XDG_CONFIG_HOME", config);  // put back afterwards
    fs::create_directories(home.Path() / "文档");
    fs::create_directories(home.Path() / ".config");
    fs::create_directories(config);
    const std::string documents = "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n";
    const struct {
        const char* what;
        bool configSet;        // XDG_CONFIG_HOME set, else ~/.config counts
        std::string userDirs;  // in the configuration folder; empty: none
        fs::path folder;
    } cases[] = {
        {"no user-dirs file", true, "", home.Path()},
        {"a documents folder named in Chinese", true, documents, home.Path() / "文档"},
        {"the user-dirs file in ~/.config", false, documents, home.Path() / "文档"},
        {"a documents folder that does not exist", true, "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", home.Path()},
    };
    for (const auto& c : cases) {
        fs::remove(home.Path() / ".config/user-dirs.dirs");
        fs::remove(fs::path(config) / "user-dirs.dirs");
        if (c.configSet)
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        if (!c.userDirs.empty())
            std::ofstream(fs::path(c.configSet ? config : home.File(".config")) / "user-dirs.dirs") << c.userDirs;

        ProgramResult r = Export({samples_});
        EXPECT_EQ(r.status, 0) << c.what << ": " << r.err;
        ASSERT_FALSE(r.out.empty()) << c.what;
        // The whole path written, on a line of its own.
        const fs::path written(r.out.substr(0, r.out.size() - 1));
        EXPECT_EQ(written.parent_path(), c.folder) << c.what;
        EXPECT_EQ(written.filename().string().substr(0, std::string("导出-语音信息(").size()), "导出-语音信息(");
        std::string error;
        auto sheets = ReadWithXlrd(written.string(), error);
        ASSERT_EQ(sheets.size(), 1u) << c.what << ": " << error;
        EXPECT_EQ(sheets[0].rows.size(), 48u) << c.what;
        EXPECT_TRUE(fs::remove(written)) << c.what;
    }
}

TEST_F(ExportCommandTest, FailuresWriteNothing) {
    const std::string empty = work_.File("empty");
    fs::create_directory(empty);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;  // the start of stderr
    } cases[] = {
        {{empty, "--out", work_.File("a.xls")}, 2, "没有导出的记录！\n"},
        {{samples_, "--out", work_.File("missing/a.xls")},
         1,
         "cannot write the workbook '" + work_.File("missing/a.xls") + "': No such file or directory\n"},
        {{samples_, "--out"}, 1, "tolvan-cli export: --out needs a path"},
        {{}, 1, "usage: tolvan-cli export FOLDER [--out PATH]"},
    };
    for (const auto& c : cases) {
        ProgramResult r = Export(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(fs::exists(work_.File("a.xls")));
    EXPECT_FALSE(fs::exists(work_.File("missing")));
}

// --out replaces an earlier workbook; any other file there, or a folder, is
// refused by name and kept as it is.
TEST_F(ExportCommandTest, OutReplacesOnlyAnEarlierWorkbook) {
    const std::string out = work_.File("list.xls");
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Export({samples_, "--out", out}).status, 0) << i;
    ExpectWorkbook(out);
    fs::remove(out);
    for (bool folder : {false, true}) {
        if (folder)
            fs::create_directory(out);
        else
            std::ofstream(out) << "keep";
        ProgramResult r = Export({samples_, "--out", out});
        EXPECT_EQ(r.status, 1) << folder;
        EXPECT_EQ(r.err,
                  "cannot write the workbook '" + out + "': it already exists and is not a workbook of this program\n");
        EXPECT_EQ(r.out, "");
        if (folder)
            EXPECT_TRUE(fs::is_directory(out));
        else
            EXPECT_EQ(ReadWholeFile(out), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
        fs::remove(out);
    }
    EXPECT_EQ(NamesInWork(), std::vector<std::string>{"samples"});
}

TEST_F(ExportCommandTest, SeveralExportsToOnePathAtOnceAllSucceed) {
    const std::string out = work_.File("list.xls");
    std::vector<ProgramResult> results(4);
    std::vector<std::thread> runs;
    for (ProgramResult& r : results) runs.emplace_back([&] { r = Export({samples_, "--out", out}); });
    for (std::thread& t : runs) t.join();
    for (const ProgramResult& r : results) {
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, out + "\n");
    }
    ExpectWorkbook(out);
    EXPECT_EQ(NamesInWork(), (std::vector<std::string>{"list.xls", "samples"}));
}

// The path is written exactly as given, whatever it holds.
TEST_F(ExportCommandTest, AnOutPathWithAnyCharactersIsWrittenThere) {
    for (const std::string name :
         {"a;b.xls", "it's \"quoted\".xls", "Data Source=x.xls; Extended Properties=Excel 8.0;", "-dash.xls",
          "语音 信息.XLS"}) {
        const std::string out = work_.File(name);
        ProgramResult r = Export({samples_, "--out", out});
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_EQ(r.out, out + "\n");
        ExpectWorkbook(out);
        std::vector<std::string> names{name, "samples"};
        std::sort(names.begin(), names.end());
        EXPECT_EQ(NamesInWork(), names);
        fs::remove(out);
    }
}

}  // namespace
