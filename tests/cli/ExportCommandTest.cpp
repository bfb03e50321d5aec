// tolvan-cli export, run as the built program: the workbook it names on
// stdout, read back by xlrd, at --out or in the user's documents folder; an
// empty folder; a workbook that cannot be written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
        {{samples_, "--out", work_.File("missing/a.xls")}, 1, "cannot write the workbook"},
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

}  // namespace
