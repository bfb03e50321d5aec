#include "platform/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "platform/TextCodec.h"
#include "tests/support/TempFolder.h"

using namespace platform;

namespace {

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Paths, JoinAddsOneSlashUnlessTheFolderEndsWithOne) {
    struct Case {
        std::u16string folder, name, joined;
    } cases[] = {
        {u"/data", u"VOC00001.wav", u"/data/VOC00001.wav"},
        {u"/", u"VOC00001.wav", u"/VOC00001.wav"},
        {u"/data/", u"x", u"/data/x"},
        {u"", u"x", u"/x"},
    };
    for (const Case& c : cases) EXPECT_EQ(JoinPath(c.folder, c.name), c.joined);
}

// Paths are as long as the system allows (4,095 bytes); a longer one is
// refused by the system, with its reason.
TEST(Paths, APathIsAsLongAsTheSystemAllows) {
    TempFolder dir;
    // A folder of 4,082 bytes, which "/VOC00001.wav" makes 4,095.
    std::string folder = dir.Str();
    while (folder.size() < 4082) folder += "/" + std::string(std::min<size_t>(200, 4081 - folder.size()), 'd');
    std::filesystem::create_directories(folder);
    const std::u16string joined = JoinPath(Utf8ToWide(folder), u"VOC00001.wav");
    ASSERT_EQ(joined.size(), 4095u);
    File out = File::CreateForWriting(*SystemPath(joined));
    EXPECT_TRUE(out) << ErrorText(out.Error());
    const File tooLong = File::CreateForWriting(*SystemPath(JoinPath(Utf8ToWide(folder), u"VOC000001.wav")));
    EXPECT_FALSE(tooLong);
    EXPECT_EQ(ErrorText(tooLong.Error()), "File name too long");
}

// A file that cannot be opened says why: the system's reason, or the
// program's own.
TEST(File, AFailedOpenSaysWhy) {
    TempFolder dir;
    std::filesystem::create_directory(dir.Path() / "folder");
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    {
        File f = File::CreateForWriting(dir.File("held"));
        ASSERT_TRUE(f);
    }
    const File holder = File::CreateForWriting(dir.File("held"));
    ASSERT_TRUE(holder);
    const struct {
        File file;
        std::string why;
    } cases[] = {
        {File::OpenForReading(dir.File("missing")), "No such file or directory"},
        {File::OpenForReading(dir.File("folder")), "Is a directory"},
        {File::OpenForReading(dir.File("fifo")), "not a regular file"},
        {File::OpenForReading(dir.File("held")), "held by another program"},
        {File::CreateForWriting(dir.File("missing/x")), "No such file or directory"},
        {File::CreateForWriting(dir.File("folder")), "Is a directory"},
        {File::CreateForWriting(dir.File("held")), "held by another program"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.file.IsOpen()) << c.why;
        EXPECT_EQ(ErrorText(c.file.Error()), c.why);
    }
    std::vector<uint8_t> data;
    int error = 0;
    EXPECT_FALSE(ReadWholeFile(dir.File("missing"), data, &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(Paths, NarrowPathsAreCp936) {
    EXPECT_EQ(SystemPathFromNarrow("/\xC2\xBC\xD2\xF4"), "/录音");
    EXPECT_FALSE(SystemPathFromNarrow("/\xFF").has_value());
    EXPECT_EQ(SystemPath(u"/录音"), "/录音");
}

TEST(File, ReadsWritesSeeksAndSizes) {
    TempFolder dir;
    std::string path = dir.File("f.bin");
    {
        File out = File::CreateForWriting(path);
        ASSERT_TRUE(out);
        EXPECT_EQ(out.Write("hello world", 11), 11u);
        EXPECT_TRUE(out.Seek(6));
        EXPECT_EQ(out.Write("W", 1), 1u);
        EXPECT_EQ(out.Size(), 11);
    }
    File in = File::OpenForReading(path);
    ASSERT_TRUE(in);
    char buffer[32] = {};
    EXPECT_TRUE(in.Seek(6));
    EXPECT_EQ(in.Read(buffer, sizeof buffer), 5u);  // short read at the end
    EXPECT_STREQ(buffer, "World");
    EXPECT_FALSE(in.Seek(-1));
    char word[6] = {};
    EXPECT_EQ(in.ReadAt(0, word, 5), 5u);
    EXPECT_STREQ(word, "hello");
    EXPECT_EQ(in.ReadAt(9, word, 5), 2u);
    EXPECT_EQ(in.ReadAt(11, word, 5), 0u);
}

TEST(File, OpeningForReadingNeedsAnExistingRegularFile) {
    TempFolder dir;
    EXPECT_FALSE(File::OpenForReading(dir.File("missing")));
    EXPECT_FALSE(File::OpenForReading(dir.Str()));
    std::filesystem::create_directory(dir.File("VOC00001.wav"));
    EXPECT_FALSE(File::CreateForWriting(dir.File("VOC00001.wav")));
}

TEST(File, CreatingReplacesAnExistingFile) {
    TempFolder dir;
    std::string path = dir.File("f");
    WriteText(path, "old content");
    File out = File::CreateForWriting(path);
    ASSERT_TRUE(out);
    EXPECT_EQ(out.Size(), 0);
}

// Files are opened without sharing: the locks hold between two opens of the
// same process, as between two programs.
TEST(File, AWriterExcludesEveryoneAndAReaderExcludesWriters) {
    TempFolder dir;
    std::string path = dir.File("held");
    WriteText(path, "recorded data");
    {
        File reader = File::OpenForReading(path);
        ASSERT_TRUE(reader);
        EXPECT_TRUE(File::OpenForReading(path)) << "two readers may share";
        EXPECT_FALSE(File::CreateForWriting(path));
        EXPECT_EQ(ReadText(path), "recorded data") << "a refused create must not empty the file";
    }
    File writer = File::CreateForWriting(path);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(File::OpenForReading(path));
    EXPECT_FALSE(File::CreateForWriting(path));
    writer.Close();
    EXPECT_TRUE(File::OpenForReading(path)) << "closing releases the lock";
}

TEST(File, MovedFilesKeepTheirLock) {
    TempFolder dir;
    std::string path = dir.File("held");
    File a = File::CreateForWriting(path);
    File b = std::move(a);
    EXPECT_FALSE(a.IsOpen());
    EXPECT_FALSE(File::OpenForReading(path));
    b = File();
    EXPECT_TRUE(File::OpenForReading(path));
}

TEST(File, DeleteRemovesOnlyWhatExists) {
    TempFolder dir;
    std::string path = dir.File("f");
    WriteText(path, "x");
    EXPECT_TRUE(DeleteFileAt(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(DeleteFileAt(path));
}

TEST(FileFinder, PatternTable) {
    struct Case {
        std::u16string name, pattern;
        bool match;
    } cases[] = {
        {u"VOC00001.wav", u"VOC*.wav", true},   {u"voc00001.WAV", u"VOC*.wav", true},
        {u"VOC.wav", u"VOC*.wav", true},        {u"VOC00001.wav.bak", u"VOC*.wav", false},
        {u"XVOC00001.wav", u"VOC*.wav", false}, {u"VOC1.wav", u"VOC?.wav", true},
        {u"VOC12.wav", u"VOC?.wav", false},     {u"a.wav.wav", u"*.wav", true},
        {u"录音.wav", u"*.WAV", true},          {u"", u"*", true},
        {u"x", u"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        EXPECT_EQ(NameMatchesPattern(c.name, c.pattern), c.match);
    }
}

TEST(FileFinder, ListsMatchingRegularFilesInCaseInsensitiveNameOrder) {
    TempFolder dir;
    for (const char* name : {"VOC00003.wav", "voc00002.wav", "VOC00001.WAV", "VOC00010.wav", "other.wav", "VOC9.txt"})
        WriteText(dir.File(name), "x");
    std::filesystem::create_directory(dir.File("VOC00004.wav"));
    symlink((dir.Path() / "VOC00003.wav").c_str(), dir.File("VOC00005.wav").c_str());
    symlink((dir.Path() / "VOC00004.wav").c_str(), dir.File("VOC00006.wav").c_str());

    FileFinder finder;
    ASSERT_TRUE(finder.FindFirst(dir.Wide() + u"/VOC*.wav"));
    std::vector<std::u16string> names{finder.Name()};
    while (finder.FindNext()) names.push_back(finder.Name());
    std::vector<std::u16string> expected = {u"VOC00001.WAV", u"voc00002.wav", u"VOC00003.wav", u"VOC00005.wav",
                                            u"VOC00010.wav"};
    EXPECT_EQ(names, expected);
}

// Names that fold alike, prefixes of one another, letters beside the
// punctuation between 'Z' and 'a', non-ASCII and surrogate code units.
const std::vector<std::u16string> kOrderNames = {
    u"VOC00001.wav", u"voc00001.wav", u"VOC00001.WAV", u"Voc00001.wav", u"VOC0000", u"VOC00001.wav.bak",
    u"VOC_0001.wav", u"VOC[0001.wav", u"VOC`0001.wav", u"VOCz0001.wav", u"VOCZ0001.wav", u"a", u"A", u"",
    u"录音.wav", u"錄音.wav", u"\xd83d\xde00.wav", u"\xe000.wav", u"\xffff", u"\x0100", u"\x00ff", u"\x007f",
    u"\x0080", u"\x3fff", u"\x4000", u"@", u"~",
    // Keys longer than what the finder compares first, alike at its end.
    u"VOC_a_long_recording_name_1.wav", u"voc_a_long_recording_name_1.wav", u"VOC_a_long_recording_name_10.wav",
    u"abcdefghijklmno", u"abcdefghijklmnop", u"ABCDEFGHIJKLMNOP", u"录音录音录音录音录音录音.wav", u"录音录音录音录音录音录音.WAV",
};

TEST(FileFinder, SortKeysOrderNamesAsTheFoldedComparison) {
    for (const std::u16string& a : kOrderNames)
        for (const std::u16string& b : kOrderNames) {
            std::string ka, kb;
            AppendNameKey(a, ka);
            AppendNameKey(b, kb);
            SCOPED_TRACE(WideToUtf8(a) + " / " + WideToUtf8(b));
            EXPECT_EQ(ka < kb, NameLess(a, b));  // std::string compares as unsigned bytes
            EXPECT_EQ(ka == kb, a == b);
        }
}

TEST(FileFinder, ListsInTheOrderOfThePlainComparison) {
    TempFolder dir;
    std::vector<std::u16string> expected;
    for (const std::u16string& name : kOrderNames) {
        if (name.empty()) continue;
        WriteText(dir.File(WideToUtf8(name)), "x");
        expected.push_back(name);
    }
    for (int i = 0; i < 300; ++i) {  // enough that the sort does real work
        std::u16string name = Utf8ToWide((i % 3 ? "voc" : "VOC") + std::to_string(i * 7919 % 1000) + ".wav");
        // Alike in more than what the finder compares first.
        if (i % 4 == 0)
            name = (i % 8 ? u"A_much_longer_name_of_a_recording_" : u"a_much_longer_name_of_a_recording_") + name;
        WriteText(dir.File(WideToUtf8(name)), "x");
        expected.push_back(name);
    }
    std::sort(expected.begin(), expected.end(),
              [](const std::u16string& a, const std::u16string& b) { return NameLess(a, b); });

    FileFinder finder;
    ASSERT_TRUE(finder.FindFirst(dir.Wide() + u"/*"));
    std::vector<std::u16string> names{finder.Name()};
    while (finder.FindNext()) names.push_back(finder.Name());
    EXPECT_EQ(names, expected);
}

TEST(FileFinder, NothingToFind) {
    TempFolder dir;
    FileFinder finder;
    EXPECT_FALSE(finder.FindFirst(dir.Wide() + u"/VOC*.wav"));
    EXPECT_FALSE(finder.FindFirst(dir.Wide() + u"/missing/VOC*.wav"));
    WriteText(dir.File("VOC00001.wav"), "x");
    ASSERT_TRUE(finder.FindFirst(dir.Wide() + u"/VOC*.wav"));
    EXPECT_FALSE(finder.FindNext());
}
