#pragma once
// What the folder tree asks of the file system: the folders below a folder,
// whether a folder has any, the mounted volumes and the home folder. Hidden
// folders (names starting with '.') are left out everywhere.

#include <QString>
#include <QStringList>
#include <vector>

class CShellManager {
public:
    struct Volume {
        QString rootPath;     // the mount point
        QString displayName;  // its label, or the mount point
    };

    // The visible subfolders of path (names only), sorted by name ignoring
    // letter case; empty when path cannot be read.
    QStringList ChildFolders(const QString& path) const;
    // True when path holds at least one visible subfolder.
    bool HasSubfolders(const QString& path) const;
    // Mounted volumes that hold files, other than the root "/": no pseudo
    // file systems, no single-file mounts.
    std::vector<Volume> Volumes() const;
    QString HomeFolder() const;
};
