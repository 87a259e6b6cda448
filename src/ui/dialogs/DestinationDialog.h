#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;

namespace pagesmith {

class MessageBoxes;
class PathChoosers;

// The modal "Select Destination Folder" dialog of Convert and Merge. It edits
// copies of the save folder, the merged file's name, the run-log file and the
// save format (an output compression index, 0..9) and hands them back however
// it ends; it changes nothing else. Shown again, it opens with the values it
// holds.
class DestinationDialog : public QDialog {
    Q_OBJECT

public:
    // Controls by the ids of their layout, in tab order.
    enum Control {
        Ok = 1,
        Cancel = 2,
        SaveFolderEdit = 1001,
        SaveFolderButton = 1002,
        SaveFormatCombo = 1020,
        SaveFormatLabel = -1,
        MergedNameEdit = 1021,
        MergedNameLabel = 1022,
        LogFileButton = 1023,
        LogFileEdit = 1024,
    };

    // The merged file's name is shown for merges only.
    DestinationDialog(const QString& saveFolder, const QString& mergedFileName,
                      const QString& logFile, int saveFormat, bool merge, QWidget* owner = nullptr);

    // Where "Save Folder", "Log File" and the warnings go; the platform's own
    // dialogs unless set.
    void setPathChoosers(PathChoosers& choosers);
    void setMessageBoxes(MessageBoxes& boxes);
    // Where "Save Folder" starts when the save folder is empty: the folder
    // the files come from.
    void setFolderShown(const QString& folder) { m_folderShown = folder; }

    QString saveFolder() const { return m_saveFolder; }
    QString mergedFileName() const { return m_mergedFileName; }
    QString logFile() const { return m_logFile; }
    // The list entry chosen, or -1 when the text in the box is none of them.
    int saveFormat() const { return m_saveFormat; }

    QWidget* control(Control id) const { return m_controls.value(id); }

    // OK reads the edits back and refuses an empty save folder; Cancel, Esc
    // and the close box read them back too.
    void accept() override;
    void reject() override;
    void setVisible(bool visible) override;

private:
    void createControls();
    void prepareForShowing();
    void fillEdits();
    void readEditsBack();
    int saveFormatInBox() const;
    void chooseSaveFolder();
    void chooseLogFile();

    QString m_saveFolder;
    QString m_mergedFileName;
    QString m_logFile;
    int m_saveFormat;
    bool m_merge;
    QString m_folderShown;

    PathChoosers* m_choosers;
    MessageBoxes* m_messageBoxes;

    QHash<int, QWidget*> m_controls;
    QLineEdit* m_saveFolderEdit = nullptr;
    QLineEdit* m_mergedNameEdit = nullptr;
    QLineEdit* m_logFileEdit = nullptr;
    QComboBox* m_saveFormatBox = nullptr;
};

} // namespace pagesmith
