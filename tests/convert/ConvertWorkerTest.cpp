// The batch conversion worker over a table of catalogues, and the file that
// remembers its destination.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <numeric>
#include <optional>
#include <set>
#include <thread>

#include "codec/DecoderState.h"
#include "convert/ChVocPath.h"
#include "convert/ConvertWorker.h"
#include "platform/TextCodec.h"
#include "playback/PcmWavHeader.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/Faults.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

namespace {

// What the dialog would show: every text and bar value, in order.
class RecordingView : public ConversionView {
public:
    void SetStatusText(std::u16string_view text) override { texts.emplace_back(text); }
    void SetProgress(int percent) override {
        bars.push_back(percent);
        if (onProgress) onProgress(percent);
    }
    void ShowFinished() override { finished = true; }
    std::vector<std::u16string> texts;
    std::vector<int> bars;
    bool finished = false;
    std::function<void(int)> onProgress;
};

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

class ConvertWorkerTest : public ::testing::Test {
protected:
    // Writes the files into the recordings folder and lists them, in order.
    void Catalogue(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files) {
        for (const auto& [name, bytes] : files) {
            WriteWholeFile(source_.File(name), bytes);
            job_.sources.push_back({source_.Wide(), platform::Utf8ToWide(name)});
        }
        job_.m_pszDestFolder = dest_.Wide() + u"/";
    }
    void Run() { ConvertWorker(job_, view_, decoder_); }

    TempFolder source_, dest_;
    ConvertJob job_;
    RecordingView view_;
    g729::DecoderState decoderState_;
    G729Decoder decoder_{decoderState_};
};

TEST_F(ConvertWorkerTest, OnlyWavEntriesConvertNothing) {
    Catalogue({{"VOC00001.wav", {1, 2}}, {"VOC00002.WaV", {3}}});
    Run();
    EXPECT_EQ(view_.texts, std::vector<std::u16string>{u"共0个LDV文件,转换完成0个LDV文件"});
    EXPECT_TRUE(view_.finished);
    EXPECT_EQ(job_.m_bDone.load(), 1);
    EXPECT_TRUE(Names(dest_.Path()).empty());
}

TEST_F(ConvertWorkerTest, EveryOtherNameIsConvertedButOnlyLdvNamesAreCounted) {
    Catalogue({{"VOC00001.LdV", RandomBytes(9, 1)}, {"VOC00002.bin", RandomBytes(20005, 2)}, {"VOC00003.wav", {}}});
    Run();
    EXPECT_EQ(view_.texts, (std::vector<std::u16string>{u"正在转换VOC00001.LdV文件(1/1)", u"正在转换VOC00002.bin文件(2/1)",
                                                         u"共1个LDV文件,转换完成2个LDV文件"}));
    EXPECT_EQ(Names(dest_.Path()), (std::set<std::string>{"VOC00001.wav", "VOC00002.wav"}));

    // Nine bytes hold no whole frame: the header alone, with true sizes.
    const std::vector<uint8_t> empty = ReadWholeFile(dest_.File("VOC00001.wav"));
    ASSERT_EQ(empty.size(), 44u);
    EXPECT_TRUE(IsPcmWavHeader(empty.data()));
    EXPECT_EQ(U32At(empty, 4), 36u);
    EXPECT_EQ(U32At(empty, 40), 0u);
    // 20005 bytes: 2000 frames, the last 5 bytes ignored.
    const std::vector<uint8_t> full = ReadWholeFile(dest_.File("VOC00002.wav"));
    EXPECT_EQ(full.size(), 44u + 2000 * 160);
    EXPECT_EQ(U32At(full, 40), 2000u * 160);
    // The bar: 0, then each percent once, then 100; not once per frame.
    ASSERT_GT(view_.bars.size(), 2u);
    EXPECT_EQ(view_.bars[0], 0);
    EXPECT_EQ(view_.bars[1], 100);
    std::vector<int> bars(view_.bars.begin() + 2, view_.bars.end());
    std::vector<int> expected(100);
    std::iota(expected.begin(), expected.end(), 0);
    expected.push_back(100);
    EXPECT_EQ(bars, expected);
}

TEST_F(ConvertWorkerTest, AStopDuringAFileLeavesNoOutputOfIt) {
    Catalogue({{"VOC00001.ldv", RandomBytes(2000, 3)}, {"VOC00002.ldv", RandomBytes(20000, 4)},
               {"VOC00003.ldv", RandomBytes(2000, 5)}});
    view_.onProgress = [this](int percent) {
        if (percent == 50 && view_.texts.back() == u"正在转换VOC00002.ldv文件(2/3)") job_.m_bStop = 1;
    };
    Run();
    EXPECT_EQ(Names(dest_.Path()), std::set<std::string>{"VOC00001.wav"});
    EXPECT_FALSE(view_.finished);
    EXPECT_EQ(job_.m_bDone.load(), 0);
    EXPECT_EQ(view_.texts.back(), u"正在转换VOC00002.ldv文件(2/3)");
    ASSERT_EQ(job_.outcomes.size(), 2u);
    EXPECT_EQ(job_.outcomes[1].status, ConvertOutcome::kStopped);
}

TEST_F(ConvertWorkerTest, AStopFromTheDialogsThreadEndsTheWorkerOnItsThread) {
    Catalogue({{"VOC00001.ldv", RandomBytes(400000, 12)}, {"VOC00002.ldv", RandomBytes(400000, 13)}});
    std::atomic<int> shown{0};
    view_.onProgress = [&](int percent) { shown = percent; };
    std::thread worker([this] { Run(); });
    while (shown.load() < 10) std::this_thread::yield();
    job_.m_bStop = 1;
    worker.join();
    EXPECT_EQ(job_.m_bDone.load(), 0);
    EXPECT_TRUE(Names(dest_.Path()).empty());
}

TEST_F(ConvertWorkerTest, AStopBeforeTheWorkerStartsIsKept) {
    Catalogue({{"VOC00001.ldv", RandomBytes(2000, 6)}});
    job_.m_bStop = 1;
    Run();
    EXPECT_TRUE(Names(dest_.Path()).empty());
    EXPECT_TRUE(view_.texts.empty());
}

TEST_F(ConvertWorkerTest, OnlyAnEarlierConversionIsReplaced) {
    // The recordings folder as destination: VOC00017.ldv would replace the
    // device recording VOC00017.wav, a different call.
    const std::vector<uint8_t> device(600, 7);
    std::vector<uint8_t> earlier(PcmWavHeader, PcmWavHeader + 44);
    Catalogue({{"VOC00017.ldv", RandomBytes(200, 8)}, {"VOC00018.ldv", RandomBytes(200, 9)}});
    WriteWholeFile(dest_.File("VOC00017.wav"), device);
    WriteWholeFile(dest_.File("VOC00018.wav"), earlier);
    Run();
    EXPECT_EQ(ReadWholeFile(dest_.File("VOC00017.wav")), device);
    EXPECT_EQ(ReadWholeFile(dest_.File("VOC00018.wav")).size(), 44u + 20 * 160);
    EXPECT_EQ(view_.texts.back(), u"共2个LDV文件,转换完成1个LDV文件");
    EXPECT_EQ(job_.outcomes[0].status, ConvertOutcome::kNotConverted);
    EXPECT_EQ(Names(dest_.Path()), (std::set<std::string>{"VOC00017.wav", "VOC00018.wav"}));
}

TEST_F(ConvertWorkerTest, UnreadableSourcesAndOverlongPathsAreCountedButNotConverted) {
    Catalogue({{"VOC00001.ldv", RandomBytes(200, 10)}});
    job_.sources.push_back({source_.Wide(), u"VOC00002.ldv"});  // not there
    job_.sources.push_back({source_.Wide() + u"/" + std::u16string(240, u'd'), u"VOC00003.ldv"});
    Run();
    EXPECT_EQ(view_.texts.back(), u"共3个LDV文件,转换完成1个LDV文件");
    EXPECT_EQ(Names(dest_.Path()), std::set<std::string>{"VOC00001.wav"});
}

TEST_F(ConvertWorkerTest, AFullDiskLeavesNoOutput) {
    Catalogue({{"VOC00001.ldv", RandomBytes(20000, 11)}});
    // In a child, with files limited to 100 kB: the output cannot be written
    // whole, as on a full disk.
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        setrlimit(RLIMIT_FSIZE, &limit);
        Run();
        _exit(job_.outcomes.size() == 1 && job_.outcomes[0].status == ConvertOutcome::kNotConverted &&
                      view_.texts.back() == u"共1个LDV文件,转换完成0个LDV文件"
                  ? 0
                  : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(Names(dest_.Path()).empty());
}

TEST_F(ConvertWorkerTest, SourcesGoneOrHeldDuringTheConversionAreNamedAndTheRestConverted) {
    Catalogue({{"VOC00001.ldv", RandomBytes(20000, 12)},
               {"VOC00002.ldv", RandomBytes(2000, 13)},
               {"VOC00003.ldv", RandomBytes(2000, 14)},
               {"VOC00004.ldv", RandomBytes(2000, 15)}});
    std::optional<HeldByAnotherProgram> held;
    view_.onProgress = [&](int percent) {
        if (percent != 50 || held) return;
        std::filesystem::remove(source_.File("VOC00002.ldv"));
        held.emplace(source_.File("VOC00003.ldv"));
    };
    Run();
    ASSERT_TRUE(held && held->Held());
    EXPECT_EQ(view_.texts.back(), u"共4个LDV文件,转换完成2个LDV文件");
    EXPECT_TRUE(view_.finished);
    ASSERT_EQ(job_.outcomes.size(), 4u);
    EXPECT_EQ(job_.outcomes[1].status, ConvertOutcome::kNotConverted);
    EXPECT_EQ(job_.outcomes[1].reason, "cannot be read: No such file or directory");
    EXPECT_EQ(job_.outcomes[2].status, ConvertOutcome::kNotConverted);
    EXPECT_EQ(Names(dest_.Path()), (std::set<std::string>{"VOC00001.wav", "VOC00004.wav"}));
    EXPECT_EQ(ReadWholeFile(dest_.File("VOC00001.wav")).size(), 44u + 20000 / 10 * 160);
}

TEST_F(ConvertWorkerTest, ADestinationRemovedDuringAFileIsReportedForEveryFileLeft) {
    Catalogue({{"VOC00001.ldv", RandomBytes(20000, 16)}, {"VOC00002.ldv", RandomBytes(2000, 17)}});
    view_.onProgress = [this](int percent) {
        if (percent == 50) std::filesystem::remove_all(dest_.Path());
    };
    Run();
    EXPECT_EQ(view_.texts.back(), u"共2个LDV文件,转换完成0个LDV文件");
    ASSERT_EQ(job_.outcomes.size(), 2u);
    const std::string missing = ": No such file or directory";
    EXPECT_EQ(job_.outcomes[0].reason, "cannot write the output " + dest_.File("VOC00001.wav") + missing);
    EXPECT_EQ(job_.outcomes[1].reason, "cannot create the output " + dest_.File("VOC00002.wav") + missing);
    EXPECT_FALSE(std::filesystem::exists(dest_.Path()));
    EXPECT_EQ(Names(source_.Path()), (std::set<std::string>{"VOC00001.ldv", "VOC00002.ldv"}));
}

TEST(ChVocPath, ADiskTooFullForItKeepsTheEarlierFile) {
    TempFolder config;
    const ScopedEnvironment configHome("XDG_CONFIG_HOME", config.Str());

    ASSERT_TRUE(WriteChVocPath(u"/home/earlier/"));
    for (uint64_t limit : {0u, 1u, 519u}) {
        EXPECT_EQ(RunWithFileSizeLimit(limit, [] { return WriteChVocPath(u"/home/later/") ? 1 : 0; }), 0) << limit;
        EXPECT_EQ(ReadChVocPath(), u"/home/earlier/") << limit;
        EXPECT_EQ(Names(config.Path()), std::set<std::string>{"ChVocPath.txt"}) << limit;
    }
}

TEST(ChVocPath, HoldsTheFolderIn520BytesOfUtf16) {
    TempFolder config;
    const ScopedEnvironment configHome("XDG_CONFIG_HOME", config.Str());

    EXPECT_EQ(ReadChVocPath(), u"");  // missing
    ASSERT_TRUE(WriteChVocPath(u"/home/用户/转换/"));
    const std::vector<uint8_t> bytes = ReadWholeFile(config.File("ChVocPath.txt"));
    ASSERT_EQ(bytes.size(), 520u);
    const std::u16string folder = u"/home/用户/转换/";
    for (size_t i = 0; i < folder.size(); ++i) {
        EXPECT_EQ(bytes[2 * i], folder[i] & 0xFF);
        EXPECT_EQ(bytes[2 * i + 1], folder[i] >> 8);
    }
    EXPECT_TRUE(std::all_of(bytes.begin() + static_cast<long>(2 * folder.size()), bytes.end(),
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(ReadChVocPath(), folder);

    WriteWholeFile(config.File("ChVocPath.txt"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 519));
    EXPECT_EQ(ReadChVocPath(), u"");  // short
    EXPECT_FALSE(WriteChVocPath(std::u16string(260, u'x')));
}

}  // namespace
