#include "ui/dialogs/PathChoosers.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace pagesmith {

namespace {

// The run log is created when it is first written, so the log file may be one
// that does not exist yet.
const QString kLogFileSuffix = QStringLiteral("txt");

} // namespace

QString existingFolderAtOrAbove(const QString& path) {
    if (path.trimmed().isEmpty())
        return QDir::homePath();
    QFileInfo info(QDir::cleanPath(QDir::fromNativeSeparators(path)));
    while (!info.isDir()) {
        const QString above = info.absolutePath();
        if (above == info.absoluteFilePath())
            return QDir::homePath();
        info = QFileInfo(above);
    }
    return info.absoluteFilePath();
}

std::optional<QString> PlatformPathChoosers::chooseFolder(QWidget* owner, const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(
        owner, QString(), existingFolderAtOrAbove(start), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(folder);
}

std::optional<QString> PlatformPathChoosers::chooseLogFile(QWidget* owner, const QString& current) {
    const std::unique_ptr<QFileDialog> dialog = makeLogFileDialog(owner, current);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog->selectedFiles().constFirst());
}

PathChoosers& platformPathChoosers() {
    static PlatformPathChoosers choosers;
    return choosers;
}

std::unique_ptr<QFileDialog> makeLogFileDialog(QWidget* owner, const QString& current) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(kLogFileSuffix);
    // Some desktops' own open dialogs take existing files only; Qt's takes a
    // new name too. No overwrite question either: the log is appended to.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    if (!current.isEmpty())
        dialog->selectFile(QDir::fromNativeSeparators(current));
    return dialog;
}

} // namespace pagesmith
