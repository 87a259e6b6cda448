#pragma once

#include <QDir>
#include <QString>

#include <string>

namespace pagesmith {

// Paths cross between Qt, which writes them with '/' on every system, and the
// core, which takes UTF-8 text with the system's own separators, as its
// reports show paths to the user ("C:\Scans\a.tif" on Windows).
inline std::string corePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString();
}

inline QString qtPath(const std::string& path) {
    return QDir::fromNativeSeparators(QString::fromStdString(path));
}

} // namespace pagesmith
