#include "app/ShellManager.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace {

constexpr QDir::Filters kVisibleFolders = QDir::Dirs | QDir::NoDotAndDotDot;

bool IsPseudoFileSystem(const QStorageInfo& volume) {
    static const char* const kTypes[] = {"proc", "sysfs", "tmpfs", "devtmpfs", "devpts", "cgroup", "cgroup2",
                                         "mqueue", "debugfs", "tracefs", "securityfs", "pstore", "bpf",
                                         "configfs", "fusectl", "hugetlbfs", "autofs", "binfmt_misc", "nsfs",
                                         "overlay", "squashfs", "efivarfs", "ramfs", "rpc_pipefs"};
    const QByteArray type = volume.fileSystemType();
    for (const char* t : kTypes) {
        if (type == t) return true;
    }
    const QString root = volume.rootPath();
    for (const char* prefix : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot"}) {
        const QString p = QString::fromLatin1(prefix);
        if (root == p || root.startsWith(p + u'/')) return true;
    }
    return false;
}

}  // namespace

QStringList CShellManager::ChildFolders(const QString& path) const {
    QStringList names = QDir(path).entryList(kVisibleFolders, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

bool CShellManager::HasSubfolders(const QString& path) const {
    QDirIterator it(path, kVisibleFolders);
    return it.hasNext();
}

std::vector<CShellManager::Volume> CShellManager::Volumes() const {
    std::vector<Volume> volumes;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady() || v.isRoot() || IsPseudoFileSystem(v)) continue;
        if (!QFileInfo(v.rootPath()).isDir()) continue;
        QString name = v.displayName();
        if (name.isEmpty()) name = v.rootPath();
        volumes.push_back({v.rootPath(), name});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return a.rootPath < b.rootPath; });
    return volumes;
}

QString CShellManager::HomeFolder() const { return QDir::homePath(); }
