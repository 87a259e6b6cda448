#pragma once

#include <QString>

#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace pagesmith {

// The system dialogs a window asks for paths with. Windows take them as an
// interface so that tests can script the answers.
class PathChoosers {
public:
    virtual ~PathChoosers() = default;

    // A folder the user confirmed in the folder chooser, which starts at
    // start (or the nearest folder above it that exists); none when cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* owner, const QString& start) = 0;

    // A file named in the open-file dialog, which starts at current; the file
    // need not exist yet. None when cancelled.
    virtual std::optional<QString> chooseLogFile(QWidget* owner, const QString& current) = 0;
};

// The platform's own dialogs.
class PlatformPathChoosers final : public PathChoosers {
public:
    std::optional<QString> chooseFolder(QWidget* owner, const QString& start) override;
    std::optional<QString> chooseLogFile(QWidget* owner, const QString& current) override;
};

PathChoosers& platformPathChoosers();

// Where a chooser asked to start at path opens: path, or the nearest folder
// above it that exists; the home folder when none does.
QString existingFolderAtOrAbove(const QString& path);

// The open-file dialog of chooseLogFile, set up but not shown.
std::unique_ptr<QFileDialog> makeLogFileDialog(QWidget* owner, const QString& current);

} // namespace pagesmith
