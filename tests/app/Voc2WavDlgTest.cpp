// The conversion dialog offscreen with the real conversion worker, and
// command 1039 of the window with its folder browser.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <optional>
#include <random>
#include <set>

#include "app/CloseOnSignals.h"
#include "app/Voc2WavDlg.h"
#include "codec/DecoderState.h"
#include "controls/ControlId.h"
#include "platform/TextCodec.h"
#include "tests/app/GuiTest.h"
#include "tests/app/WindowFixture.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

QString DialogText(QWidget* dlg, int id) {
    QWidget* w = FindControl(dlg, id);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return QStringLiteral("<no text control %1>").arg(id);
}

class Voc2WavDlgTest : public testing::Test {
protected:
    // LDV recordings of the given sizes in the source folder.
    std::vector<ConvertSource> Sources(const std::vector<size_t>& sizes) {
        std::vector<ConvertSource> sources;
        for (size_t i = 0; i < sizes.size(); ++i) {
            const std::string name = "VOC0000" + std::to_string(i + 1) + ".ldv";
            WriteWholeFile(source_.File(name), RandomBytes(sizes[i], static_cast<unsigned>(i)));
            sources.push_back({source_.Wide(), platform::Utf8ToWide(name)});
        }
        return sources;
    }
    std::unique_ptr<CVoc2WavDlg> Dialog(std::vector<ConvertSource> sources) {
        return std::make_unique<CVoc2WavDlg>(std::move(sources), dest_.Wide() + u"/", decoderState_, nullptr,
                                             [this](const QString& folder) {
            opened_.push_back(folder);
            return true;
        });
    }
    std::set<std::string> Outputs() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dest_.Path())) names.insert(e.path().filename());
        return names;
    }

    TempFolder source_, dest_;
    g729::DecoderState decoderState_;
    std::vector<QString> opened_;
};

TEST_F(Voc2WavDlgTest, ConvertsThenOpensTheDestinationWhenTicked) {
    auto dlg = Dialog(Sources({2000, 4000}));
    EXPECT_EQ(DialogText(dlg.get(), -1), QStringLiteral("正在转换语音文件，请等待......"));
    EXPECT_EQ(DialogText(dlg.get(), 1), QStringLiteral("确定"));
    EXPECT_TRUE(qobject_cast<QPushButton*>(FindControl(dlg.get(), 1))->isHidden());
    EXPECT_EQ(DialogText(dlg.get(), 2), QStringLiteral("取消"));
    EXPECT_EQ(DialogText(dlg.get(), 1038), QStringLiteral("打开转换完成的文件夹"));
    auto* check = qobject_cast<QCheckBox*>(FindControl(dlg.get(), 1038));
    EXPECT_FALSE(check->isChecked());
    auto* bar = qobject_cast<QProgressBar*>(FindControl(dlg.get(), 1028));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_TRUE(dlg->windowFlags() & Qt::FramelessWindowHint);

    WhenOpen<CVoc2WavDlg>([&](CVoc2WavDlg* open) {
        EXPECT_TRUE(WaitFor([&] { return DialogText(open, 2) == QStringLiteral("完成"); }));
        EXPECT_EQ(DialogText(open, -1), QStringLiteral("共2个LDV文件,转换完成2个LDV文件"));
        EXPECT_EQ(bar->value(), 100);
        check->click();
        qobject_cast<QPushButton*>(FindControl(open, 2))->click();
    });
    dlg->exec();
    EXPECT_EQ(Outputs(), (std::set<std::string>{"VOC00001.wav", "VOC00002.wav"}));
    EXPECT_EQ(opened_, std::vector<QString>{QString::fromStdString(dest_.Str() + "/")});
}

TEST_F(Voc2WavDlgTest, CancelAndEnterStopTheWorkerAndWaitForIt) {
    for (bool enter : {false, true}) {
        fs::remove_all(dest_.Path());
        fs::create_directory(dest_.Path());
        // Long enough to be still converting when the dialog is asked to close.
        auto dlg = Dialog(Sources({4000000}));
        WhenOpen<CVoc2WavDlg>([&](CVoc2WavDlg* open) {
            EXPECT_TRUE(WaitFor([&] { return DialogText(open, -1).startsWith(QStringLiteral("正在转换VOC00001.ldv")); }));
            auto* check = qobject_cast<QCheckBox*>(FindControl(open, 1038));
            check->click();
            check->setFocus();
            if (enter)
                QTest::keyClick(open, Qt::Key_Return);
            else
                qobject_cast<QPushButton*>(FindControl(open, 2))->click();
            EXPECT_FALSE(open->WorkerRunning());
            EXPECT_FALSE(open->isVisible());
        });
        dlg->exec();
        EXPECT_EQ(dlg->Job().m_bStop.load(), 1) << enter;
        EXPECT_EQ(dlg->Job().m_bDone.load(), 0) << enter;
        // The stopped file's output is gone, and the folder was not opened.
        EXPECT_TRUE(Outputs().empty()) << enter;
        EXPECT_TRUE(opened_.empty()) << enter;
    }
}

// SIGTERM while the conversion runs: the dialog is cancelled as Cancel does
// (its worker stopped, the partial output gone), then the window under it
// closes as its close box closes it.
TEST_F(Voc2WavDlgTest, ATerminationSignalCancelsTheConversionThenClosesTheWindow) {
    QDialog window;
    window.show();
    const CloseOnSignals closer(window);
    const auto dlg = std::make_unique<CVoc2WavDlg>(Sources({4000000}), dest_.Wide() + u"/", decoderState_, &window,
                                                   [this](const QString& folder) {
                                                       opened_.push_back(folder);
                                                       return true;
                                                   });
    WhenOpen<CVoc2WavDlg>([&](CVoc2WavDlg* open) {
        EXPECT_TRUE(WaitFor([&] { return DialogText(open, -1).startsWith(QStringLiteral("正在转换VOC00001.ldv")); }));
        ASSERT_EQ(raise(SIGTERM), 0);
    });
    dlg->exec();
    EXPECT_TRUE(WaitFor([&] { return !window.isVisible(); }));
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_EQ(dlg->Job().m_bStop.load(), 1);
    EXPECT_EQ(dlg->Job().m_bDone.load(), 0);
    EXPECT_TRUE(Outputs().empty());
}

class ConvertCommandTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        configHome_.emplace("XDG_CONFIG_HOME", config_.Str());
        dlg->SetFolderOpener([this](const QString& folder) {
            opened_.push_back(folder);
            return true;
        });
    }
    void TearDown() override { configHome_.reset(); }
    TempFolder config_, dest_;
    std::optional<ScopedEnvironment> configHome_;
    std::vector<QString> opened_;
};

TEST_F(ConvertCommandTest, RefusesWithAnEmptyListOrWhilePlaying) {
    MessageRecorder messages;
    dlg->OnCommand(1039);
    ListDemoFolder();
    List()->selectRow(0);
    Click(1005);  // loaded and playing until the device is opened
    ASSERT_TRUE(dlg->GetEngine().IsPlaying());
    dlg->OnCommand(1039);
    const std::vector<std::u16string> texts = messages.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], u"当前列表中没有需要转换的语音文件！");
    EXPECT_EQ(texts[1], u" 正在播放语音过程中，请播放完后再转换语音！");
    Click(1007);
}

TEST_F(ConvertCommandTest, BrowsesRemembersTheFolderAndConverts) {
    ListDemoFolder();
    const QString dest = QString::fromStdString(dest_.Str());
    WhenOpen<QFileDialog>([&](QFileDialog* browser) {
        EXPECT_EQ(browser->windowTitle(), QStringLiteral("请选择语音文件转换后保存的文件夹"));
        browser->setDirectory(dest);
        browser->selectFile(dest);
        static_cast<QDialog*>(browser)->accept();
    });
    QTimer::singleShot(0, [&] {
        WhenOpen<CVoc2WavDlg>([&](CVoc2WavDlg* open) {
            // The demo folder holds device recordings only: nothing to convert.
            EXPECT_TRUE(WaitFor([&] { return DialogText(open, 2) == QStringLiteral("完成"); }));
            EXPECT_EQ(DialogText(open, -1), QStringLiteral("共0个LDV文件,转换完成0个LDV文件"));
            qobject_cast<QCheckBox*>(FindControl(open, 1038))->click();
            qobject_cast<QPushButton*>(FindControl(open, 2))->click();
        });
    });
    dlg->OnCommand(1039);
    EXPECT_EQ(opened_, std::vector<QString>{dest + "/"});
    const std::vector<uint8_t> remembered = ReadWholeFile(config_.File("ChVocPath.txt"));
    ASSERT_EQ(remembered.size(), 520u);
    const std::u16string expected = (dest + "/").toStdU16String();
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(remembered.data()), expected.size()), expected);
    EXPECT_EQ(remembered[2 * expected.size()], 0);

    // The next browser opens there.
    WhenOpen<QFileDialog>([&](QFileDialog* browser) {
        EXPECT_EQ(browser->directory().absolutePath(), dest);
        browser->reject();
    });
    dlg->OnCommand(1039);
}

}  // namespace
