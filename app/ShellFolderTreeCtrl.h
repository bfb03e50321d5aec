#pragma once
// The folder tree (control 1030): the desktop at the root with the computer
// (the root "/" and the mounted volumes) and the home folder below it. Only
// folders are listed, hidden ones left out; a node's children are read the
// first time it is expanded, and a node shows an expand button only when it
// has subfolders. Nodes of the desktop and the computer have no file-system
// path.

#include <QTreeWidget>

class CShellManager;

class CMFCShellFolderTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    CMFCShellFolderTreeCtrl(const CShellManager& shell, QWidget* parent);

    // Fills the tree anew: the desktop root, expanded.
    void Refresh();

    // The file-system path of item; empty for a node that has none.
    static QString GetItemPath(const QTreeWidgetItem* item);

    // Expands the nodes down to folder (an absolute path) and selects it.
    // False when folder is not in the tree (missing, or inside a hidden folder).
    bool SelectPath(const QString& folder);

    // The desktop's "计算机" node.
    QTreeWidgetItem* ComputerItem() const { return m_computer; }

    // Scrolls item into view down and across, so that its name shows even
    // deep in a narrow tree.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    // The selection moved to a node; path is empty for a node without one.
    void folderChanged(const QString& path);

private:
    // Reads the children of a node being expanded, once.
    void EnumObjects(QTreeWidgetItem* parent);
    QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const QString& text, const QString& path, const QIcon& icon);
    void OnSelectionChanged();

    const CShellManager& m_shell;
    QTreeWidgetItem* m_computer = nullptr;
};
