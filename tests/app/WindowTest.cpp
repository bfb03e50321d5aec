// The main window as the user meets it: its frame, controls, colours, the
// folder listing, paging, queries, Refresh, the keys and the About box.

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "app/AboutDlg.h"
#include "app/MessageBoxPresenter.h"
#include "catalogue/QueryFilter.h"
#include "controls/DialogUnits.h"
#include "tests/app/CalendarDriver.h"
#include "tests/app/WindowFixture.h"
#include "tools/SampleFolder.h"

namespace {

QString Q(std::u16string_view text) { return QString::fromUtf16(text.data(), text.size()); }

}  // namespace

TEST_F(WindowTest, OpensFixedAtTopLeftWithItsTitle) {
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Veltane Voice Player v3.0"));
    EXPECT_EQ(dlg->pos(), QPoint(0, 0));
    EXPECT_EQ(dlg->size(), QSize(1024, 600));
    EXPECT_EQ(dlg->minimumSize(), QSize(1024, 600));
    EXPECT_EQ(dlg->maximumSize(), QSize(1024, 600));
    EXPECT_FALSE(dlg->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(dlg->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dlg->windowIcon().isNull());
}

TEST_F(WindowTest, ControlsCarryTheirStartTexts) {
    const struct {
        int id;
        const char16_t* text;
    } cases[] = {
        {1003, u"导出列表"}, {1004, u"刷新列表"},   {1039, u"语音转换"},   {1029, u""},
        {1031, u"上一页"},   {1032, u"下一页"},     {1033, u"总共0条记录，第0页，共0页"},
        {1019, u" 查询"},    {1020, u"起始日期："}, {1021, u"结束日期："}, {1022, u"类      型："},
        {1023, u"条      件："}, {1024, u"关 键 字："}, {1036, u"页      码："}, {1018, u"查询"},
        {1013, u""},         {1014, u""},           {1015, u"全部类型"},   {1016, u"电话号码"},
        {1017, u""},         {1034, u""},           {1, u"确定"},          {2, u"取消"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(c.id), QString::fromUtf16(c.text)) << "control " << c.id;

    auto* type = qobject_cast<QComboBox*>(Ctl(1015));
    ASSERT_NE(type, nullptr);
    QStringList items;
    for (int i = 0; i < type->count(); ++i) items << type->itemText(i);
    EXPECT_EQ(items, QStringList({"全部类型", "全部主叫", "全部被叫", "全部留言", "全部现场"}));
    auto* condition = qobject_cast<QComboBox*>(Ctl(1016));
    ASSERT_NE(condition, nullptr);
    EXPECT_EQ(condition->count(), 1);
    EXPECT_EQ(condition->itemText(0), QStringLiteral("电话号码"));
    for (int id : {1013, 1014, 1015, 1016}) EXPECT_TRUE(qobject_cast<QComboBox*>(Ctl(id))->isEditable()) << id;
}

TEST_F(WindowTest, ControlsLieInTheirPlaces) {
    const struct {
        int id;
        QRect place;
    } pixels[] = {
        {1000, {172, 41, 660, 485}}, {1001, {0, 435, 170, 137}},  {1002, {171, 33, 660, 495}},
        {1003, {10, 5, 85, 30}},     {1004, {105, 5, 85, 30}},    {1039, {200, 5, 85, 30}},
        {1029, {300, 2, 600, 36}},   {1030, {0, 41, 170, 395}},   {1031, {650, 535, 75, 28}},
        {1032, {730, 535, 75, 28}},  {1019, {833, 42, 183, 25}},  {1025, {832, 33, 185, 390}},
        {1026, {832, 416, 185, 156}}, {1012, {864, 450, 132, 17}},
    };
    for (const auto& c : pixels) {
        ASSERT_NE(Ctl(c.id), nullptr) << c.id;
        EXPECT_EQ(Ctl(c.id)->geometry(), c.place) << "control " << c.id;
    }

    // Places in pixels, sizes in dialog units of the window's 9-point font.
    const DialogBaseUnits u = BaseUnitsOf(DialogFont(9));
    const struct {
        int id;
        QPoint at;
        int widthDlu, heightDlu;
    } placed[] = {
        {1033, {225, 544}, 128, 8}, {1010, {832, 485}, 100, 15}, {1011, {837, 445}, 16, 15},
        {1005, {839, 520}, 15, 15}, {1006, {872, 520}, 15, 15},  {1007, {905, 520}, 15, 15},
        {1008, {938, 520}, 15, 15}, {1009, {971, 520}, 15, 15},
    };
    for (const auto& c : placed) {
        ASSERT_NE(Ctl(c.id), nullptr) << c.id;
        EXPECT_EQ(Ctl(c.id)->pos(), c.at) << "control " << c.id;
        EXPECT_EQ(Ctl(c.id)->width(), DluX(c.widthDlu, u)) << "control " << c.id;
        if (c.id != 1033) {
            EXPECT_EQ(Ctl(c.id)->height(), DluY(c.heightDlu, u)) << "control " << c.id;
        }
    }

    // The query panel is laid out in dialog units; combo boxes keep their
    // own height.
    const struct {
        int id;
        int x, y, w, h;
    } units[] = {
        {1020, 480, 53, 35, 8},  {1013, 513, 52, 56, 0},  {1021, 480, 71, 35, 8},  {1014, 513, 71, 56, 0},
        {1022, 480, 89, 35, 8},  {1015, 513, 89, 56, 0},  {1023, 480, 111, 35, 8}, {1016, 513, 111, 56, 0},
        {1024, 481, 130, 33, 8}, {1017, 513, 130, 56, 12}, {1036, 480, 154, 35, 8}, {1034, 513, 152, 56, 12},
        {1018, 519, 179, 50, 14},
    };
    for (const auto& c : units) {
        const QRect g = Ctl(c.id)->geometry();
        EXPECT_EQ(g.topLeft(), QPoint(DluX(c.x, u), DluY(c.y, u))) << "control " << c.id;
        EXPECT_EQ(g.width(), DluX(c.w, u)) << "control " << c.id;
        if (c.h) {
            EXPECT_EQ(g.height(), DluY(c.h, u)) << "control " << c.id;
        }
    }
    // The panel's controls stay inside its frame.
    const QRect panel(832, 33, 185, 390);
    for (const auto& c : units) EXPECT_TRUE(panel.contains(Ctl(c.id)->geometry())) << "control " << c.id;

    for (int id : {1039, 1, 2}) EXPECT_FALSE(Ctl(id)->isVisible()) << "control " << id;
    for (int id : {1000, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1030, 1031, 1032})
        EXPECT_TRUE(Ctl(id)->isVisible()) << "control " << id;
}

TEST_F(WindowTest, RecordListIsAGridReportOfSevenColumns) {
    QTableWidget* list = List();
    ASSERT_NE(list, nullptr);
    const struct {
        const char16_t* title;
        int width;
    } columns[] = {{u"序号", 50},     {u"文件名称", 120}, {u"电话号码", 140}, {u"方式", 40},
                   {u"开始时间", 130}, {u"录音时长", 70},  {u"文件长度", 110}};
    ASSERT_EQ(list->columnCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(list->horizontalHeaderItem(i)->text(), QString::fromUtf16(columns[i].title));
        EXPECT_EQ(list->columnWidth(i), columns[i].width);
    }
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list->verticalHeader()->defaultSectionSize(), list->style()->pixelMetric(QStyle::PM_SmallIconSize) + 6);
    // Without the focus the selection is not shown.
    const QPalette p = list->palette();
    EXPECT_EQ(p.color(QPalette::Inactive, QPalette::Highlight), p.color(QPalette::Inactive, QPalette::Base));
}

TEST_F(WindowTest, PaintsItsZonesAndColours) {
    const QImage image = dlg->grab().toImage();
    const QColor blue(78, 128, 202), pale(216, 228, 248), caption(127, 194, 229);
    const struct {
        QPoint at;
        QColor colour;
    } pixels[] = {
        {{950, 20}, blue},     // top band, right of the now-playing label
        {{500, 20}, blue},     // the now-playing label
        {{12, 32}, blue},      // "导出列表", beside its icon
        {{100, 585}, Qt::white},  // under the folder tree's picture
        {{1020, 300}, Qt::white}, // right of the query panel
        {{1020, 500}, pale},      // right of the playback panel
        {{1010, 50}, caption},    // the query caption
        {{600, 585}, dlg->palette().color(QPalette::Window)},  // under the list
    };
    for (const auto& c : pixels)
        EXPECT_EQ(QColor(image.pixel(c.at)), c.colour) << "at " << c.at.x() << "," << c.at.y();

    for (int id : {1020, 1021, 1022, 1023, 1024, 1036}) {
        EXPECT_EQ(Ctl(id)->palette().color(QPalette::Window), QColor(Qt::white)) << id;
        EXPECT_EQ(Ctl(id)->palette().color(QPalette::WindowText), QColor(Qt::black)) << id;
    }
    EXPECT_EQ(Ctl(1029)->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(Ctl(1010)->palette().color(QPalette::Window), pale);
    EXPECT_EQ(Ctl(1019)->font().pointSize(), 12);
}

TEST_F(WindowTest, SelectingAFolderListsItsFirstPage) {
    ListDemoFolder();
    ASSERT_EQ(Rows(), 20);
    const std::string first = DemoFolder() + "/VOC00001.wav";
    const qint64 size = QFileInfo(QString::fromStdString(first)).size();
    const QStringList expected = {"1", "VOC00001.wav", "13812345678", "主叫", "2016-03-05 08:00:00",
                                  QStringLiteral("%1秒").arg((size - 512) / 4096), QStringLiteral("%1字节").arg(size)};
    for (int c = 0; c < 7; ++c) EXPECT_EQ(Cell(0, c), expected[c]) << "column " << c;
    EXPECT_EQ(Cell(19, 0), QStringLiteral("20"));
    EXPECT_EQ(dlg->focusWidget(), Ctl(1030));
    // Nothing of the scan is left in the current directory.
    EXPECT_FALSE(std::filesystem::exists(cwd.File("WAVFIND.$$$")));
}

TEST_F(WindowTest, TheProgramsFolderArgumentSelectsAndListsIt) {
    dlg->PreselectFolder(QString::fromStdString(DemoFolder()) + "/");
    EXPECT_EQ(Rows(), 20);
    EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第1页，共3页"));
    EXPECT_EQ(CMFCShellFolderTreeCtrl::GetItemPath(dlg->Tree()->currentItem()), QString::fromStdString(DemoFolder()));
}

// A scan that cannot keep its result (the working folder is gone) says so
// in a message box, with the file and the system's reason.
TEST_F(WindowTest, AScanThatCannotKeepItsResultSaysWhy) {
    MessageRecorder messages;
    std::filesystem::remove_all(cwd.Path());
    ASSERT_TRUE(dlg->Tree()->SelectPath(QString::fromStdString(DemoFolder())));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Text(1033), QStringLiteral("总共0条记录，第0页，共0页"));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{u"cannot make the scan result WAVFIND.$$$: No such file or directory"});
}

TEST_F(WindowTest, PagesTurnTwentyRowsAtATime) {
    ListDemoFolder();
    Click(1032);
    EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第2页，共3页"));
    EXPECT_EQ(Rows(), 20);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("21"));
    Click(1032);
    EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第3页，共3页"));
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("41"));
    EXPECT_EQ(Cell(4, 0), QStringLiteral("45"));
    EXPECT_EQ(Cell(4, 1), QStringLiteral("VOC00045.wav"));
    // On the last page only the focus moves.
    Ctl(1030)->setFocus();
    Click(1032);
    EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第3页，共3页"));
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(dlg->focusWidget(), Ctl(1000));
    Click(1031);
    EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第2页，共3页"));
    EXPECT_EQ(Cell(19, 0), QStringLiteral("40"));
}

TEST_F(WindowTest, QueryUsesTheDatesPickedInTheCalendar) {
    ListDemoFolder();
    PickDay(qobject_cast<QComboBox*>(Ctl(1013)), QDate(2017, 3, 5));
    PickDay(qobject_cast<QComboBox*>(Ctl(1014)), QDate(2017, 3, 5));
    EXPECT_EQ(Text(1013), QStringLiteral("2017-03-05"));
    EXPECT_EQ(Text(1014), QStringLiteral("2017-03-05"));
    Click(1018);
    EXPECT_EQ(Text(1033), QStringLiteral("总共5条记录，第1页，共1页"));
    ASSERT_EQ(Rows(), 5);
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(Cell(r, 1), QStringLiteral("VOC%1.wav").arg(16 + r, 5, 10, QLatin1Char('0')));
        EXPECT_TRUE(Cell(r, 4).startsWith(QStringLiteral("2017-03-05 "))) << Cell(r, 4).toStdString();
    }
    // The query leaves the panel as the user filled it.
    EXPECT_EQ(Text(1013), QStringLiteral("2017-03-05"));
    EXPECT_EQ(dlg->focusWidget(), Ctl(1030));
}

TEST_F(WindowTest, QueryCombinesTypeKeywordAndPage) {
    ListDemoFolder();
    int outgoing = 0;
    for (const SampleRecordingSpec& s : SampleFolderRecordings()) outgoing += s.type == 'Z';
    ASSERT_GT(outgoing, 0);
    SetText(1015, QStringLiteral("全部主叫"));
    SetText(1034, QStringLiteral("999"));
    Click(1018);
    EXPECT_EQ(Text(1033), QStringLiteral("总共%1条记录，第1页，共1页").arg(outgoing));
    for (int r = 0; r < Rows(); ++r) EXPECT_EQ(Cell(r, 3), QStringLiteral("主叫"));
    EXPECT_EQ(Text(1015), QStringLiteral("全部主叫"));
}

TEST_F(WindowTest, BadDayOrMonthShowsOneMessageAndKeepsTheList) {
    ListDemoFolder();
    const struct {
        const char* start;
        const char* end;
        std::u16string_view message;
    } cases[] = {
        {"2017/03/05", "", kDayRangeMessage},         {"2017-03-32", "", kDayRangeMessage},
        {"2017-13-32", "", kDayRangeMessage},         {"2017-13-05", "", kMonthRangeMessage},
        {"", "3000-00-01", kMonthRangeMessage},       {"", "3000-01-00", kDayRangeMessage},
    };
    for (const auto& c : cases) {
        MessageRecorder messages;
        SetText(1013, QString::fromUtf8(c.start));
        SetText(1014, QString::fromUtf8(c.end));
        Click(1018);
        EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{std::u16string(c.message)}) << c.start << " " << c.end;
        EXPECT_EQ(Rows(), 20);
        EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第1页，共3页"));
    }
}

TEST_F(WindowTest, MessagesAreWarningBoxesUnderTheProgramTitle) {
    ListDemoFolder();
    MessageBoxPresenter presenter;
    // The day check runs on the user-interface thread; the 1969 start date is
    // found by the scan worker, which waits for the box to be closed.
    const struct {
        const char* start;
        std::u16string_view message;
        const char* label;
    } cases[] = {
        {"2017-03-40", kDayRangeMessage, "总共45条记录，第1页，共3页"},
        {"1969-12-31", kBadStartDateMessage, "总共0条记录，第0页，共0页"},
    };
    for (const auto& c : cases) {
        SetText(1013, QString::fromUtf8(c.start));
        int boxes = 0;
        WhenOpen<QMessageBox>([&](QMessageBox* box) {
            ++boxes;
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Corvane - Voice Player"));
            EXPECT_EQ(box->text(), Q(c.message));
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            EXPECT_EQ(box->button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
            box->button(QMessageBox::Ok)->click();
        });
        Click(1018);
        EXPECT_EQ(boxes, 1) << c.start;
        EXPECT_EQ(Text(1033), QString::fromUtf8(c.label)) << c.start;
    }
}

TEST_F(WindowTest, RefreshPutsThePanelBackAndListsEverything) {
    ListDemoFolder();
    SetText(1013, QStringLiteral("2017-03-05"));
    SetText(1014, QStringLiteral("2017-03-05"));
    SetText(1017, QStringLiteral("1"));
    Click(1018);
    ASSERT_NE(Text(1033), QStringLiteral("总共45条记录，第1页，共3页"));
    SetText(1015, QStringLiteral("全部留言"));
    SetText(1016, QStringLiteral("其他"));
    SetText(1034, QStringLiteral("2"));
    Click(1004);
    EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第1页，共3页"));
    EXPECT_EQ(Rows(), 20);
    for (int id : {1013, 1014, 1017, 1034}) EXPECT_EQ(Text(id), QString()) << id;
    EXPECT_EQ(Text(1015), QStringLiteral("全部类型"));
    EXPECT_EQ(Text(1016), QStringLiteral("电话号码"));
    EXPECT_EQ(dlg->focusWidget(), Ctl(1030));
}

TEST_F(WindowTest, NodeWithoutAFolderEmptiesTheList) {
    ListDemoFolder();
    QTreeWidgetItem* computer = dlg->Tree()->ComputerItem();
    ASSERT_NE(computer, nullptr);
    dlg->Tree()->setCurrentItem(computer);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Text(1033), QStringLiteral("总共0条记录，第0页，共0页"));
    // With no folder, Refresh does nothing at all.
    SetText(1017, QStringLiteral("kept"));
    Click(1004);
    EXPECT_EQ(Text(1017), QStringLiteral("kept"));
    EXPECT_EQ(Rows(), 0);
}

TEST_F(WindowTest, EnterInTheKeywordOrPageFieldQueriesAndKeepsTheWindow) {
    ListDemoFolder();
    int withKeyword = 0;
    for (const SampleRecordingSpec& s : SampleFolderRecordings()) withKeyword += s.phone.find("95588") != std::string::npos;
    ASSERT_GT(withKeyword, 0);
    const struct {
        int field;
        const char* keyword;
        const char* page;
        QString label;
    } cases[] = {
        {1017, "95588", "", QStringLiteral("总共%1条记录，第1页，共1页").arg(withKeyword)},
        {1034, "", "3", QStringLiteral("总共45条记录，第3页，共3页")},
    };
    for (const auto& c : cases) {
        SetText(1017, QString::fromUtf8(c.keyword));
        SetText(1034, QString::fromUtf8(c.page));
        Ctl(c.field)->setFocus();
        QTest::keyClick(Ctl(c.field), Qt::Key_Return);
        EXPECT_EQ(Text(1033), c.label) << c.field;
        EXPECT_TRUE(dlg->isVisible());
        SetText(1034, QString());
        Click(1004);
    }
    QTest::keyClick(Ctl(1017), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(WindowTest, EnterElsewhereDoesNothing) {
    ListDemoFolder();
    SetText(1017, QStringLiteral("95588"));
    for (int id : {1030, 1000, 1015, 1013, 1018, 1031}) {
        Ctl(id)->setFocus();
        QWidget* target = dlg->focusWidget();
        ASSERT_NE(target, nullptr) << id;
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_TRUE(dlg->isVisible()) << id;
        EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第1页，共3页")) << id;
        EXPECT_EQ(Rows(), 20) << id;
    }
    // An editable box does not take what was typed into its list.
    EXPECT_EQ(qobject_cast<QComboBox*>(Ctl(1015))->count(), 5);
}

TEST_F(WindowTest, EscapeAndTheCloseBoxEndTheProgram) {
    ListDemoFolder();
    QTest::keyClick(Ctl(1030), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);

    dlg->show();
    ASSERT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->close());
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(WindowTest, F1OpensTheAboutBox) {
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    bool opened = false;
    WhenOpen<CAboutDlg>([&](CAboutDlg* about) {
        opened = true;
        EXPECT_EQ(about->windowTitle(), QStringLiteral("关于 Veltane Voice Player"));
        QStringList texts;
        for (QLabel* l : about->findChildren<QLabel*>()) texts << l->text();
        EXPECT_TRUE(texts.contains(QStringLiteral("Veltane Voice Player 3.0 版")));
        auto* ok = qobject_cast<QPushButton*>(FindControl(about, 1));
        EXPECT_NE(ok, nullptr);
        if (!ok) return about->reject();
        EXPECT_EQ(ok->text(), QStringLiteral("确定"));
        ok->click();
    });
    QTest::keyClick(dlg->focusWidget(), Qt::Key_F1);
    WaitFor([&] { return opened; });
    EXPECT_TRUE(opened);
    EXPECT_EQ(OpenModal(), nullptr);
}

TEST_F(WindowTest, RightClickOnTheTopBandOffersAboutAndNowhereElse) {
    bool aboutOpened = false;
    WhenOpen<QMenu>([&](QMenu* menu) {
        QStringList texts;
        for (QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        EXPECT_EQ(texts, QStringList({"-", "关于 Corvane - Voice Player(&A)..."}));
        WhenOpen<CAboutDlg>([&](CAboutDlg* about) {
            aboutOpened = true;
            about->accept();
        });
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    // Over the now-playing label, which leaves the menu to the window.
    QWidget* label = Ctl(1029);
    QContextMenuEvent onBand(QContextMenuEvent::Mouse, QPoint(100, 18), label->mapToGlobal(QPoint(100, 18)));
    QApplication::sendEvent(label, &onBand);
    EXPECT_TRUE(aboutOpened);

    // Below the band (the tree, the list) no menu opens.
    for (int id : {1030, 1000}) {
        auto* view = qobject_cast<QAbstractScrollArea*>(Ctl(id));
        bool menuOpened = false;
        QTimer::singleShot(300, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                menuOpened = true;
                popup->close();
            }
        });
        QContextMenuEvent below(QContextMenuEvent::Mouse, QPoint(20, 20), view->viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(view->viewport(), &below);
        QTest::qWait(400);
        EXPECT_FALSE(menuOpened) << id;
    }
}
