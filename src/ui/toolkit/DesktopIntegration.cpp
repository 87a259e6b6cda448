#include "ui/toolkit/DesktopIntegration.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QStandardPaths>
#include <QUrl>

namespace pagesmith {

namespace {

// Where an install puts the guide, relative to a data directory such as /usr/share.
const QString kDocSubfolder = QStringLiteral("doc/pagesmith");

QString withHelpExtension(const QString& programPath) {
    const QFileInfo program(programPath);
    const QString name = program.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // Only the file name's own extension is replaced: a dot in a folder name
    // ("/opt/tools.d/pagesmith") is not one.
    const QString stem = dot > 0 ? name.left(dot) : name;
    return program.dir().filePath(stem + QStringLiteral(".chm"));
}

} // namespace

void DesktopIntegration::setProgramIdentity(const QIcon& icon) {
    QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntryName));
}

bool DesktopIntegration::openUrl(const QUrl& url) {
    return url.isValid() && QDesktopServices::openUrl(url);
}

QStringList DesktopIntegration::standardDocFolders() {
    QStringList folders;
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << QDir(data).filePath(kDocSubfolder);
    return folders;
}

QString DesktopIntegration::helpTarget(const QString& programPath, const QStringList& docFolders) {
    const QString helpFile = withHelpExtension(programPath);
    if (QFileInfo(helpFile).isFile())
        return helpFile;

    const QDir programFolder = QFileInfo(programPath).dir();
    QStringList candidates{
        programFolder.filePath(QString::fromLatin1(kUserGuideName)),
        // An install puts the program in <prefix>/bin and the guide in
        // <prefix>/share/doc/pagesmith, whatever the prefix.
        programFolder.filePath(QStringLiteral("../share/") + kDocSubfolder + QLatin1Char('/') +
                               QString::fromLatin1(kUserGuideName)),
    };
    for (const QString& folder : docFolders)
        candidates << QDir(folder).filePath(QString::fromLatin1(kUserGuideName));
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
    }
    return {};
}

void DesktopIntegration::openHelp(const QString& programPath) {
    const QString target = helpTarget(programPath);
    if (!target.isEmpty())
        openUrl(QUrl::fromLocalFile(target));
}

} // namespace pagesmith
