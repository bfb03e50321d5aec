// The folder tree over the real file system: its virtual top nodes, lazy
// reading of folders, hidden folders and files left out, order and expand
// buttons.

#include <gtest/gtest.h>

#include <QDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/ShellFolderTreeCtrl.h"
#include "app/ShellManager.h"
#include "platform/TextCodec.h"
#include "tests/support/TempFolder.h"

namespace {

QStringList ChildTexts(QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) texts << item->child(i)->text(0);
    return texts;
}

QTreeWidgetItem* Child(QTreeWidgetItem* item, const QString& text) {
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->text(0) == text) return item->child(i);
    return nullptr;
}

class FolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* d : {"top/b", "top/A/inner", "top/c", "top/.hidden/deep", "top/a2", "top/B1"})
            std::filesystem::create_directories(folder.Path() / d);
        std::ofstream(folder.File("top/file.txt")) << "not a folder";
        std::filesystem::create_directories(folder.Path() / "top/c/.only-hidden");
        tree.Refresh();
    }
    QString Top() const { return QString::fromStdString(folder.File("top")); }

    TempFolder folder;
    CShellManager shell;
    CMFCShellFolderTreeCtrl tree{shell, nullptr};
};

TEST_F(FolderTreeTest, DesktopHoldsTheComputerAndTheHomeFolder) {
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* desktop = tree.topLevelItem(0);
    EXPECT_EQ(desktop->text(0), QStringLiteral("桌面"));
    EXPECT_TRUE(desktop->isExpanded());
    EXPECT_EQ(CMFCShellFolderTreeCtrl::GetItemPath(desktop), QString());
    ASSERT_EQ(desktop->childCount(), 2);
    QTreeWidgetItem* computer = desktop->child(0);
    EXPECT_EQ(computer, tree.ComputerItem());
    EXPECT_EQ(computer->text(0), QStringLiteral("计算机"));
    EXPECT_EQ(CMFCShellFolderTreeCtrl::GetItemPath(computer), QString());
    EXPECT_EQ(CMFCShellFolderTreeCtrl::GetItemPath(desktop->child(1)), QDir::cleanPath(QDir::homePath()));

    // The computer is read when it is first expanded: the root first, then
    // the volumes, each with its mount point as its path.
    EXPECT_EQ(computer->childCount(), 0);
    tree.expandItem(computer);
    ASSERT_GE(computer->childCount(), 1);
    EXPECT_EQ(computer->child(0)->text(0), QStringLiteral("/"));
    EXPECT_EQ(CMFCShellFolderTreeCtrl::GetItemPath(computer->child(0)), QStringLiteral("/"));
    for (int i = 1; i < computer->childCount(); ++i)
        EXPECT_TRUE(QDir(CMFCShellFolderTreeCtrl::GetItemPath(computer->child(i))).exists());
}

TEST_F(FolderTreeTest, FoldersAreReadOnExpansionSortedWithoutHiddenOnes) {
    ASSERT_TRUE(tree.SelectPath(Top()));
    QTreeWidgetItem* top = tree.currentItem();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(CMFCShellFolderTreeCtrl::GetItemPath(top), Top());
    // The selected folder itself has not been opened yet.
    EXPECT_EQ(top->childCount(), 0);
    EXPECT_EQ(top->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    tree.expandItem(top);
    EXPECT_EQ(ChildTexts(top), QStringList({"A", "a2", "b", "B1", "c"}));
    // Only folders with visible subfolders offer to expand.
    EXPECT_EQ(Child(top, "A")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    for (const char* leaf : {"a2", "b", "B1", "c"})
        EXPECT_NE(Child(top, leaf)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator) << leaf;
    EXPECT_EQ(CMFCShellFolderTreeCtrl::GetItemPath(Child(top, "A")), Top() + "/A");

    // A second expansion does not read the folder again.
    tree.collapseItem(top);
    tree.expandItem(top);
    EXPECT_EQ(top->childCount(), 5);
}

TEST_F(FolderTreeTest, SelectionReportsTheNodesPath) {
    QSignalSpy changes(&tree, &CMFCShellFolderTreeCtrl::folderChanged);
    ASSERT_TRUE(tree.SelectPath(Top() + "/A/inner"));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toString(), Top() + "/A/inner");
    tree.setCurrentItem(tree.ComputerItem());
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(1).at(0).toString(), QString());
    // Folders the tree does not show cannot be selected.
    EXPECT_FALSE(tree.SelectPath(Top() + "/.hidden/deep"));
    EXPECT_FALSE(tree.SelectPath(Top() + "/missing"));
    EXPECT_EQ(tree.contextMenuPolicy(), Qt::PreventContextMenu);
}

}  // namespace

namespace {

TEST_F(FolderTreeTest, ADeepFolderScrollsIntoViewAcrossAndStays) {
    std::string deep = "top";
    for (const char* d : {"level-one-folder", "level-two-folder", "level-three-folder", "level-four-folder",
                          "the-recordings-of-march"})
        deep += std::string("/") + d;
    std::filesystem::create_directories(folder.Path() / deep);
    // The window's tree: 170 pixels wide, less its vertical scroll bar.
    tree.resize(170, 395);
    tree.show();
    ASSERT_TRUE(tree.SelectPath(QString::fromStdString(folder.File(deep))));
    QTreeWidgetItem* item = tree.currentItem();
    ASSERT_NE(item, nullptr);
    auto nameShows = [&] {
        const QModelIndex index = tree.indexFromItem(item);
        const QRect r = tree.visualRect(index);
        const int text = tree.fontMetrics().horizontalAdvance(item->text(0));
        // The name's start shows, and the name itself fits into the view.
        return r.left() >= 0 && r.left() + tree.iconSize().width() + text <= tree.viewport()->width() + 8 &&
               r.top() >= 0 && r.bottom() <= tree.viewport()->height();
    };
    EXPECT_GT(tree.horizontalScrollBar()->value(), 0) << "column " << tree.columnWidth(0);
    EXPECT_TRUE(nameShows()) << tree.visualRect(tree.indexFromItem(item)).left();

    // Clicking the name keeps it where it is.
    const QRect r = tree.visualRect(tree.indexFromItem(item));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(r.left() + 20, r.center().y()));
    EXPECT_EQ(tree.currentItem(), item);
    EXPECT_TRUE(nameShows()) << tree.visualRect(tree.indexFromItem(item)).left();
    // Going back up to the top folder scrolls back to it.
    ASSERT_TRUE(tree.SelectPath(Top()));
    EXPECT_GE(tree.visualRect(tree.indexFromItem(tree.currentItem())).left(), 0);
}

TEST_F(FolderTreeTest, AFolderWhoseNameIsNotUtf8IsShownAndOpensByItsBytes) {
    const std::string bytes = "bad\xFF\xFE";
    std::filesystem::create_directories(folder.Path() / "top" / bytes / "inner");
    ASSERT_TRUE(tree.SelectPath(Top()));
    QTreeWidgetItem* top = tree.currentItem();
    ASSERT_NE(top, nullptr);
    top->setExpanded(true);
    QTreeWidgetItem* bad = nullptr;
    for (int i = 0; i < top->childCount(); ++i)
        if (top->child(i)->text(0).startsWith(QStringLiteral("bad"))) bad = top->child(i);
    ASSERT_NE(bad, nullptr) << ChildTexts(top).join(u',').toStdString();
    // Shown with replacement characters, opened by the bytes on disk.
    EXPECT_EQ(bad->text(0), QStringLiteral("bad\uFFFD\uFFFD"));
    const std::string path = platform::WideToUtf8(CMFCShellFolderTreeCtrl::GetItemPath(bad).toStdU16String());
    EXPECT_EQ(path, folder.File("top/" + bytes));
    EXPECT_EQ(bad->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
}

}  // namespace
