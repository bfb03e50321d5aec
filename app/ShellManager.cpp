#include "app/ShellManager.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "platform/Files.h"

namespace {

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

// Folders are read by their names as bytes on disk: one whose name is not
// UTF-8 is listed too (shown with replacement characters) and opens by the
// same bytes.
QStringList CShellManager::ChildFolders(const QString& path) const {
    QStringList names;
    for (const std::u16string& name : platform::SubfolderNames(path.toStdU16String()))
        names << QString::fromStdU16String(name);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

bool CShellManager::HasSubfolders(const QString& path) const {
    return !platform::SubfolderNames(path.toStdU16String(), 1).empty();
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
