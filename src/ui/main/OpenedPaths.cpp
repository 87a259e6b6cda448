#include "ui/main/OpenedPaths.h"

#include <QDir>
#include <QFileInfo>

namespace pagesmith {

OpenedPaths sortOpenedPaths(const QStringList& paths) {
    OpenedPaths opened;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.exists())
            continue;
        if (opened.folder.isEmpty()) {
            if (info.isDir()) {
                opened.folder = QDir::cleanPath(info.absoluteFilePath());
                return opened;
            }
            opened.folder = QDir::cleanPath(info.absolutePath());
        }
        if (!info.isFile())
            continue;
        const QString name = QDir(opened.folder).relativeFilePath(info.absoluteFilePath());
        if (!name.startsWith(QStringLiteral("../")) && !opened.files.contains(name))
            opened.files << name;
    }
    return opened;
}

} // namespace pagesmith
