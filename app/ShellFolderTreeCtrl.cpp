#include "app/ShellFolderTreeCtrl.h"

#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QScrollBar>

#include "app/ShellManager.h"

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kEnumeratedRole = Qt::UserRole + 1;

enum class Node { Desktop, Computer, Folder };
constexpr int kNodeRole = Qt::UserRole + 2;

Node NodeOf(const QTreeWidgetItem* item) { return static_cast<Node>(item->data(0, kNodeRole).toInt()); }

// A folder path in the form the tree keeps: "/" for the root, no trailing
// '/' otherwise.
QString CleanFolder(const QString& path) { return QDir::cleanPath(QDir(path).absolutePath()); }

}  // namespace

CMFCShellFolderTreeCtrl::CMFCShellFolderTreeCtrl(const CShellManager& shell, QWidget* parent)
    : QTreeWidget(parent), m_shell(shell) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    // No context menu on the nodes.
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(this, &QTreeWidget::itemExpanded, this, &CMFCShellFolderTreeCtrl::EnumObjects);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CMFCShellFolderTreeCtrl::OnSelectionChanged);
}

void CMFCShellFolderTreeCtrl::Refresh() {
    clear();
    m_computer = nullptr;
    QFileIconProvider icons;
    auto* desktop = new QTreeWidgetItem(this, QStringList(QStringLiteral("桌面")));
    desktop->setIcon(0, icons.icon(QFileIconProvider::Desktop));
    desktop->setData(0, kNodeRole, static_cast<int>(Node::Desktop));
    desktop->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    expandItem(desktop);
}

QTreeWidgetItem* CMFCShellFolderTreeCtrl::AddFolder(QTreeWidgetItem* parent, const QString& text,
                                                    const QString& path, const QIcon& icon) {
    // A name's bytes that are not UTF-8 show as replacement characters; the
    // path keeps them, so the folder still opens.
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const char16_t unit = shown[i].unicode();
        if (unit >= 0xDC80 && unit <= 0xDCFF && (i == 0 || !shown[i - 1].isHighSurrogate()))
            shown[i] = QChar::ReplacementCharacter;
    }
    auto* item = new QTreeWidgetItem(parent, QStringList(shown));
    item->setIcon(0, icon);
    item->setData(0, kPathRole, path);
    item->setData(0, kNodeRole, static_cast<int>(Node::Folder));
    item->setToolTip(0, path);
    item->setChildIndicatorPolicy(m_shell.HasSubfolders(path) ? QTreeWidgetItem::ShowIndicator
                                                             : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return item;
}

void CMFCShellFolderTreeCtrl::EnumObjects(QTreeWidgetItem* parent) {
    if (parent->data(0, kEnumeratedRole).toBool()) return;
    parent->setData(0, kEnumeratedRole, true);
    QFileIconProvider icons;
    switch (NodeOf(parent)) {
    case Node::Desktop: {
        m_computer = new QTreeWidgetItem(parent, QStringList(QStringLiteral("计算机")));
        m_computer->setIcon(0, icons.icon(QFileIconProvider::Computer));
        m_computer->setData(0, kNodeRole, static_cast<int>(Node::Computer));
        m_computer->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        const QString home = CleanFolder(m_shell.HomeFolder());
        AddFolder(parent, QDir(home).dirName().isEmpty() ? home : QDir(home).dirName(), home,
                  icons.icon(QFileIconProvider::Folder));
        break;
    }
    case Node::Computer:
        AddFolder(parent, QStringLiteral("/"), QStringLiteral("/"), icons.icon(QFileIconProvider::Drive));
        for (const CShellManager::Volume& v : m_shell.Volumes()) {
            const QString text =
                v.displayName == v.rootPath ? v.rootPath : QStringLiteral("%1 (%2)").arg(v.displayName, v.rootPath);
            AddFolder(parent, text, CleanFolder(v.rootPath), icons.icon(QFileIconProvider::Drive));
        }
        break;
    case Node::Folder: {
        const QString path = GetItemPath(parent);
        const QIcon folderIcon = icons.icon(QFileIconProvider::Folder);
        for (const QString& name : m_shell.ChildFolders(path))
            AddFolder(parent, name, path.endsWith(u'/') ? path + name : path + u'/' + name, folderIcon);
        break;
    }
    }
    // An expand button that led to nothing goes away.
    if (parent->childCount() == 0) parent->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

QString CMFCShellFolderTreeCtrl::GetItemPath(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPathRole).toString() : QString();
}

bool CMFCShellFolderTreeCtrl::SelectPath(const QString& folder) {
    const QString target = CleanFolder(folder);
    if (topLevelItemCount() == 0) return false;
    QTreeWidgetItem* desktop = topLevelItem(0);
    expandItem(desktop);
    // The deepest of the desktop's and the computer's folders that holds the
    // target is where the walk down starts.
    QTreeWidgetItem* start = nullptr;
    auto consider = [&](QTreeWidgetItem* item) {
        const QString path = GetItemPath(item);
        const bool holds = path == target || target.startsWith(path.endsWith(u'/') ? path : path + u'/');
        if (holds && (!start || path.size() > GetItemPath(start).size())) start = item;
    };
    for (int i = 0; i < desktop->childCount(); ++i) {
        if (desktop->child(i) != m_computer) consider(desktop->child(i));
    }
    if (m_computer) {
        expandItem(m_computer);
        for (int i = 0; i < m_computer->childCount(); ++i) consider(m_computer->child(i));
    }
    if (!start) return false;

    QTreeWidgetItem* node = start;
    const QString base = GetItemPath(start);
    const QStringList steps = target.mid(base.size()).split(u'/', Qt::SkipEmptyParts);
    for (const QString& step : steps) {
        expandItem(node);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i) {
            if (node->child(i)->text(0) == step) next = node->child(i);
        }
        if (!next) return false;
        node = next;
    }
    setCurrentItem(node);
    // Not scrollToItem, which bypasses the scrolling across.
    scrollTo(indexFromItem(node));
    return true;
}

void CMFCShellFolderTreeCtrl::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QScrollBar* across = horizontalScrollBar();
    const int before = across->value();
    // Nodes expanded just now widen the column only at the next layout; the
    // scroll range must know the width now.
    executeDelayedItemsLayout();
    header()->resizeSections(QHeaderView::ResizeToContents);
    updateGeometries();
    // The base scrolls down to the row, but across only to the column's
    // start, which hides the names of deep folders.
    QTreeWidget::scrollTo(index, hint);
    if (!index.isValid()) return;
    const int offset = across->value();
    const QRect row = visualRect(index);  // icon and name, right of the indentation
    const int left = row.left() + offset;
    const int right = left + sizeHintForIndex(index).width();
    const int width = viewport()->width();
    int value = before;
    if (right - value > width) value = right - width;
    if (left < value) value = left;
    across->setValue(value);
}

void CMFCShellFolderTreeCtrl::OnSelectionChanged() {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) return;
    emit folderChanged(GetItemPath(selected.first()));
}
