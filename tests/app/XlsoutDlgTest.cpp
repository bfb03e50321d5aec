// The export dialog offscreen with the real export worker: its texts, the
// button that becomes "完成", the check box that opens the folder (or says
// where the workbook is when nothing can open it), and Cancel or Escape that
// wait for the worker; "导出列表" in the window, into the user's documents
// folder.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/XlsoutDlg.h"
#include "catalogue/Catalogue.h"
#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanRunner.h"
#include "controls/ControlId.h"
#include "platform/TextCodec.h"
#include "tests/app/GuiTest.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WorkbookReader.h"

namespace fs = std::filesystem;

namespace {

class XlsoutDlgTest : public testing::Test {
protected:
    XlsoutDlgTest() : catalogue_(view_, scanner_) {}

    void SetUp() override {
        ASSERT_FALSE(DemoFolder().empty()) << "cannot write the demo folder";
        catalogue_.OnFolderChanged(platform::Utf8ToWide(DemoFolder()));
        ASSERT_EQ(catalogue_.EntryCount(), 45u);
    }

    // The desktop's handler: records the folders it is asked to open, and
    // opens them while handlerWorks_ says so.
    std::unique_ptr<CXlsoutDlg> Dialog(std::vector<CatalogueEntry>& entries, std::u16string saveFolder) {
        return std::make_unique<CXlsoutDlg>(entries, catalogue_.Folder(), std::move(saveFolder), nullptr,
                                            [this](const QString& folder) {
                                                opened_.push_back(folder);
                                                return handlerWorks_;
                                            });
    }
    std::u16string SaveFolder() const { return platform::Utf8ToWide(out_.Str() + "/"); }

    static QString Text(QWidget* dlg, int id) {
        QWidget* w = FindControl(dlg, id);
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        return QStringLiteral("<no text control %1>").arg(id);
    }
    static QPushButton* Button(QWidget* dlg, int id) { return qobject_cast<QPushButton*>(FindControl(dlg, id)); }
    static QCheckBox* Check(QWidget* dlg) { return qobject_cast<QCheckBox*>(FindControl(dlg, 1038)); }

    TempFolder cwd_{true};
    TempFolder out_;
    MemoryCatalogueView view_;
    WaitingScanRunner scanner_;
    Catalogue catalogue_;
    std::vector<QString> opened_;
    bool handlerWorks_ = true;
};

TEST_F(XlsoutDlgTest, CompletesThenOpensTheFolderWhenTicked) {
    MessageRecorder messages;
    auto dlg = Dialog(catalogue_.Entries(), SaveFolder());
    // The start texts.
    EXPECT_EQ(Text(dlg.get(), -1), QStringLiteral("正在导出列表至XLS文件，请等待……"));
    EXPECT_EQ(Text(dlg.get(), 1), QStringLiteral("取消"));
    EXPECT_TRUE(Button(dlg.get(), 1)->isDefault());
    EXPECT_EQ(Text(dlg.get(), 2), QStringLiteral("取消"));
    EXPECT_TRUE(Button(dlg.get(), 2)->isHidden());
    EXPECT_EQ(Text(dlg.get(), 1038), QStringLiteral("打开保存的xls文件夹"));
    EXPECT_FALSE(Check(dlg.get())->isChecked());
    auto* progress = qobject_cast<QProgressBar*>(FindControl(dlg.get(), 1028));
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->maximum(), 100);
    EXPECT_TRUE(dlg->windowFlags() & Qt::FramelessWindowHint);

    WhenOpen<CXlsoutDlg>([&](CXlsoutDlg* open) {
        EXPECT_TRUE(WaitFor([&] { return Text(open, 1) == QStringLiteral("完成"); }));
        EXPECT_EQ(progress->value(), 100);
        // The whole path written.
        EXPECT_EQ(Text(open, -1), QStringLiteral("提示：导出成功 - ") + QString::fromStdU16String(open->Job().m_szPath));
        Check(open)->click();
        Button(open, 1)->click();
    });
    EXPECT_EQ(dlg->exec(), QDialog::Accepted);
    EXPECT_FALSE(dlg->WorkerRunning());
    EXPECT_EQ(opened_, std::vector<QString>{QString::fromStdU16String(SaveFolder())});
    EXPECT_TRUE(messages.Texts().empty());
    const std::u16string& path = dlg->Job().m_szPath;
    EXPECT_TRUE(fs::exists(platform::WideToUtf8(path)));
    EXPECT_EQ(path.substr(0, path.rfind(u'/') + 1), SaveFolder());
    EXPECT_EQ(path.substr(path.rfind(u'/') + 1, 8), u"导出-语音信息(");
}

TEST_F(XlsoutDlgTest, WithNothingToOpenTheFolderAMessageSaysWhereTheWorkbookIs) {
    MessageRecorder messages;
    handlerWorks_ = false;
    auto dlg = Dialog(catalogue_.Entries(), SaveFolder());
    WhenOpen<CXlsoutDlg>([&](CXlsoutDlg* open) {
        EXPECT_TRUE(WaitFor([&] { return Text(open, 1) == QStringLiteral("完成"); }));
        Check(open)->click();
        Button(open, 1)->click();
    });
    EXPECT_EQ(dlg->exec(), QDialog::Accepted);
    EXPECT_EQ(opened_, std::vector<QString>{QString::fromStdU16String(SaveFolder())});
    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{u"没有可以打开文件夹的程序，文件保存在：\n" + dlg->Job().m_szPath});
}

// The real handler on a real X server: Qt finds xdg-open on the PATH and
// hands it the folder's URL; without one, the message says where the
// workbook is. xdg-open here is a script that writes down what it was given.
TEST_F(XlsoutDlgTest, TheDesktopsHandlerOpensTheFolder) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs the X11 platform (ctest runs it on Xvfb as tolvan_desktop_handler)";
    TempFolder bin;
    const std::string opened = bin.File("opened");
    const std::string saveFolder = out_.Str() + "/文档/";
    fs::create_directories(saveFolder);
    const ScopedEnvironment record("TOLVAN_OPENED", opened);
    const ScopedEnvironment path("PATH", bin.Str());
    MessageRecorder messages;
    for (bool handler : {false, true}) {
        if (handler) {
            std::ofstream(bin.File("xdg-open")) << "#!/bin/sh\nprintf '%s' \"$1\" > \"$TOLVAN_OPENED.part\" && "
                                                   "/bin/mv \"$TOLVAN_OPENED.part\" \"$TOLVAN_OPENED\"\n";
            fs::permissions(bin.File("xdg-open"), fs::perms::owner_all);
        }
        CXlsoutDlg dlg(catalogue_.Entries(), catalogue_.Folder(), platform::Utf8ToWide(saveFolder), nullptr);
        WhenOpen<CXlsoutDlg>([&](CXlsoutDlg* open) {
            EXPECT_TRUE(WaitFor([&] { return Text(open, 1) == QStringLiteral("完成"); }));
            Check(open)->click();
            Button(open, 1)->click();
        });
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        if (!handler) {
            EXPECT_EQ(messages.Texts(),
                      std::vector<std::u16string>{u"没有可以打开文件夹的程序，文件保存在：\n" + dlg.Job().m_szPath});
            continue;
        }
        ASSERT_TRUE(WaitFor([&] { return fs::exists(opened); }));
        std::ifstream in(opened);
        const std::string url((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(QUrl::fromEncoded(QByteArray::fromStdString(url)).toLocalFile().toStdString(), saveFolder) << url;
        EXPECT_EQ(messages.Texts().size(), 1u);  // only the one without a handler
    }
}

TEST_F(XlsoutDlgTest, CancelAndEscapeStopTheWorkerAndWaitForIt) {
    // Entries whose recordings are not there export quickly but are many, so
    // the worker is still busy when the dialog is asked to close.
    std::vector<CatalogueEntry> many(60000);
    for (size_t i = 0; i < many.size(); ++i) {
        std::memset(many[i].bytes, 0, sizeof many[i].bytes);
        std::snprintf(many[i].bytes, sizeof many[i].bytes, "VOC%05zu.wav", i);
    }
    for (bool escape : {false, true}) {
        fs::remove_all(out_.Path());
        fs::create_directory(out_.Path());
        auto dlg = Dialog(many, SaveFolder());
        WhenOpen<CXlsoutDlg>([&](CXlsoutDlg* open) {
            EXPECT_TRUE(WaitFor([&] { return open->WorkerRunning(); }));
            Check(open)->click();
            if (escape)
                QTest::keyClick(open, Qt::Key_Escape);
            else
                Button(open, 1)->click();
            // Closed only once the worker has ended.
            EXPECT_FALSE(open->WorkerRunning());
            EXPECT_FALSE(open->isVisible());
        });
        EXPECT_EQ(dlg->exec(), QDialog::Rejected) << escape;
        EXPECT_EQ(dlg->Job().m_bStop.load(), 1) << escape;
        EXPECT_EQ(dlg->Job().m_bDone.load(), 0) << escape;
        EXPECT_EQ(Text(dlg.get(), -1), QStringLiteral("正在导出列表至XLS文件，请等待……")) << escape;
        // The stopped export still wrote its workbook, and the folder was
        // not opened.
        EXPECT_TRUE(fs::exists(platform::WideToUtf8(dlg->Job().m_szPath))) << escape;
        EXPECT_TRUE(opened_.empty()) << escape;
    }
}

TEST_F(XlsoutDlgTest, AFailureIsShownAndTheFolderIsNotOpened) {
    auto dlg = Dialog(catalogue_.Entries(), u"/nonexistent-tolvan-folder/");
    WhenOpen<CXlsoutDlg>([&](CXlsoutDlg* open) {
        EXPECT_TRUE(WaitFor([&] { return Text(open, 1) == QStringLiteral("完成"); }));
        EXPECT_TRUE(Text(open, -1).startsWith(QStringLiteral("提示：导出失败 - cannot write the workbook")))
            << Text(open, -1).toStdString();
        Check(open)->click();
        Button(open, 1)->click();
    });
    dlg->exec();
    EXPECT_TRUE(opened_.empty());
    EXPECT_FALSE(dlg->Job().error.empty());
}

TEST_F(WindowTest, ExportListWithoutRecordingsSaysSo) {
    MessageRecorder messages;
    Click(1003);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"没有导出的记录！"});
}

TEST_F(WindowTest, ExportListExportsTheWholeCatalogueIntoTheDocumentsFolder) {
    if (std::string why = XlrdMissing(); !why.empty()) GTEST_SKIP() << why;
    ListDemoFolder();
    Click(1032);
    Click(1032);  // page 3 shown
    TempFolder home;
    const ScopedEnvironment homeVar("HOME", home.Str());
    const ScopedEnvironment config("XDG_CONFIG_HOME", home.Str() + "/.config");
    fs::create_directories(home.Path() / ".config");
    fs::create_directories(home.Path() / "文档");
    const struct {
        const char* userDirs;  // nullptr: no user-dirs file
        fs::path folder;
    } cases[] = {
        {nullptr, home.Path()},
        {"XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n", home.Path() / "文档"},
    };
    for (const auto& c : cases) {
        if (c.userDirs) std::ofstream(home.Path() / ".config/user-dirs.dirs") << c.userDirs;
        std::u16string path;
        QString done;  // the dialog's text once the export is done
        WhenOpen<CXlsoutDlg>([&](CXlsoutDlg* open) {
            auto* button = qobject_cast<QPushButton*>(FindControl(open, 1));
            EXPECT_TRUE(WaitFor([&] { return button->text() == QStringLiteral("完成"); }));
            path = open->Job().m_szPath;
            done = qobject_cast<QLabel*>(FindControl(open, -1))->text();
            button->click();
        });
        Click(1003);
        ASSERT_FALSE(path.empty()) << c.folder;
        EXPECT_EQ(fs::path(platform::WideToUtf8(path)).parent_path(), c.folder);
        EXPECT_EQ(done.toStdU16String(), u"提示：导出成功 - " + path);
        std::string error;
        auto sheets = ReadWithXlrd(platform::WideToUtf8(path), error);
        ASSERT_EQ(sheets.size(), 1u) << error;
        EXPECT_EQ(sheets[0].rows.size(), 1 + 45 + 2u);  // all pages, not only the one shown
        EXPECT_TRUE(fs::remove(platform::WideToUtf8(path)));
    }
}

}  // namespace
