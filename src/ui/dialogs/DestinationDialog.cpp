#include "ui/dialogs/DestinationDialog.h"

#include "engine/CompressionChoice.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/PathChoosers.h"
#include "ui/toolkit/DialogUnits.h"
#include "ui/toolkit/WindowPlacement.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pagesmith {

namespace {

enum class Kind { DefaultButton, Button, Edit, Combo, Label };

// Every control with its text, its name for assistive tools and its place in
// dialog units, in tab order.
struct ControlLayout {
    DestinationDialog::Control id;
    Kind kind;
    const char* text;
    const char* accessibleName;
    int x, y, width, height;
};

constexpr ControlLayout kControls[] = {
    {DestinationDialog::Ok, Kind::DefaultButton, "OK", "OK", 58, 99, 50, 14},
    {DestinationDialog::Cancel, Kind::Button, "Cancel", "Cancel", 115, 99, 50, 14},
    {DestinationDialog::SaveFolderEdit, Kind::Edit, "", "Save folder", 64, 27, 149, 14},
    {DestinationDialog::SaveFolderButton, Kind::Button, "Save Folder", "Save Folder", 5, 27, 57,
     14},
    {DestinationDialog::SaveFormatCombo, Kind::Combo, "", "Save format", 64, 8, 149, 14},
    {DestinationDialog::SaveFormatLabel, Kind::Label, "Save format", "Save format", 5, 10, 57, 8},
    {DestinationDialog::MergedNameEdit, Kind::Edit, "", "Save Tiff Name", 64, 44, 149, 14},
    {DestinationDialog::MergedNameLabel, Kind::Label, "Save Tiff Name", "Save Tiff Name", 5, 46, 57,
     8},
    {DestinationDialog::LogFileButton, Kind::Button, "Log File", "Log File", 5, 69, 57, 14},
    {DestinationDialog::LogFileEdit, Kind::Edit, "", "Log file", 64, 69, 149, 14},
};

constexpr int kWidthUnits = 224;
constexpr int kHeightUnits = 117;

constexpr const char* kCaption = "Select Destination Folder";
constexpr const char* kWarningCaption = "Warning";
constexpr const char* kNoSaveFolderText = "Select save dir please!";

QWidget* createControl(const ControlLayout& layout, QWidget* parent) {
    const QString text = QString::fromLatin1(layout.text);
    switch (layout.kind) {
    case Kind::DefaultButton:
    case Kind::Button: {
        auto* button = new QPushButton(text, parent);
        button->setDefault(layout.kind == Kind::DefaultButton);
        return button;
    }
    case Kind::Edit:
        return new QLineEdit(parent);
    case Kind::Combo: {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        // Typed text stays as typed: it neither joins the list nor completes
        // itself to an entry the user did not choose, and Enter reaches the
        // dialog's default button.
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        box->setMaxVisibleItems(kCompressionModeCount);
        for (int mode = 0; mode < kCompressionModeCount; ++mode)
            box->addItem(QString::fromLatin1(
                compressionModeInfo(static_cast<CompressionMode>(mode))->dialogText));
        return box;
    }
    case Kind::Label: {
        auto* label = new QLabel(text, parent);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    }
    }
    return nullptr;
}

} // namespace

DestinationDialog::DestinationDialog(const QString& saveFolder, const QString& mergedFileName,
                                     const QString& logFile, int saveFormat, bool merge,
                                     QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_saveFolder(saveFolder), m_mergedFileName(mergedFileName), m_logFile(logFile),
      m_saveFormat(saveFormat), m_merge(merge), m_choosers(&platformPathChoosers()),
      m_messageBoxes(&platformMessageBoxes()) {
    setWindowTitle(QString::fromLatin1(kCaption));
    createControls();
}

void DestinationDialog::setPathChoosers(PathChoosers& choosers) {
    m_choosers = &choosers;
}

void DestinationDialog::setMessageBoxes(MessageBoxes& boxes) {
    m_messageBoxes = &boxes;
}

void DestinationDialog::createControls() {
    const DialogUnits units(font());
    // Widgets created in this order are also tabbed through in it.
    for (const ControlLayout& layout : kControls) {
        QWidget* widget = createControl(layout, this);
        widget->setGeometry(units.toPixels(QRect(layout.x, layout.y, layout.width, layout.height)));
        widget->setAccessibleName(QString::fromLatin1(layout.accessibleName));
        m_controls.insert(layout.id, widget);
    }
    setFixedSize(units.toPixels(QSize(kWidthUnits, kHeightUnits)));

    m_saveFolderEdit = static_cast<QLineEdit*>(control(SaveFolderEdit));
    m_mergedNameEdit = static_cast<QLineEdit*>(control(MergedNameEdit));
    m_logFileEdit = static_cast<QLineEdit*>(control(LogFileEdit));
    m_saveFormatBox = static_cast<QComboBox*>(control(SaveFormatCombo));
    static_cast<QLabel*>(control(SaveFormatLabel))->setBuddy(m_saveFormatBox);
    static_cast<QLabel*>(control(MergedNameLabel))->setBuddy(m_mergedNameEdit);

    connect(static_cast<QPushButton*>(control(Ok)), &QPushButton::clicked, this,
            &DestinationDialog::accept);
    connect(static_cast<QPushButton*>(control(Cancel)), &QPushButton::clicked, this,
            &DestinationDialog::reject);
    connect(static_cast<QPushButton*>(control(SaveFolderButton)), &QPushButton::clicked, this,
            &DestinationDialog::chooseSaveFolder);
    connect(static_cast<QPushButton*>(control(LogFileButton)), &QPushButton::clicked, this,
            &DestinationDialog::chooseLogFile);
}

void DestinationDialog::setVisible(bool visible) {
    if (visible && !isVisible())
        prepareForShowing();
    QDialog::setVisible(visible);
}

// Every showing starts afresh from the values held, as a newly opened dialog.
void DestinationDialog::prepareForShowing() {
    fillEdits();
    if (m_saveFormat >= 0 && m_saveFormat < m_saveFormatBox->count()) {
        m_saveFormatBox->setCurrentIndex(m_saveFormat);
    } else {
        m_saveFormatBox->setCurrentIndex(-1);
        m_saveFormatBox->clearEditText();
    }
    control(MergedNameLabel)->setVisible(m_merge);
    m_mergedNameEdit->setVisible(m_merge);
    centreOverOwner(this, parentWidget());
    control(Ok)->setFocus();
}

void DestinationDialog::fillEdits() {
    m_saveFolderEdit->setText(m_saveFolder);
    m_mergedNameEdit->setText(m_mergedFileName);
    m_logFileEdit->setText(m_logFile);
}

void DestinationDialog::readEditsBack() {
    m_saveFolder = m_saveFolderEdit->text();
    m_mergedFileName = m_mergedNameEdit->text();
    m_logFile = m_logFileEdit->text();
}

int DestinationDialog::saveFormatInBox() const {
    const QString text = m_saveFormatBox->currentText();
    for (int index = 0; index < m_saveFormatBox->count(); ++index) {
        if (m_saveFormatBox->itemText(index) == text)
            return index;
    }
    return -1;
}

void DestinationDialog::accept() {
    readEditsBack();
    // Only an empty box is refused: a blank is a name, and the folder is
    // created when the job starts.
    if (m_saveFolder.isEmpty()) {
        m_messageBoxes->showOk(this, QString::fromLatin1(kWarningCaption),
                               QString::fromLatin1(kNoSaveFolderText));
        return;
    }
    m_saveFormat = saveFormatInBox();
    QDialog::accept();
}

void DestinationDialog::reject() {
    readEditsBack();
    m_saveFormat = saveFormatInBox();
    QDialog::reject();
}

// A confirmed folder refills every edit from the values held, so text typed
// since the last fill gives way; a cancelled chooser leaves the edits alone.
// The chooser starts where the user is likely to look: the save folder in
// the box, else the folder the files come from.
void DestinationDialog::chooseSaveFolder() {
    const QString typed = m_saveFolderEdit->text();
    const QString start = typed.isEmpty() ? m_folderShown : typed;
    if (const std::optional<QString> folder = m_choosers->chooseFolder(this, start)) {
        m_saveFolder = *folder;
        fillEdits();
    }
}

// The open-file dialog starts from the log file held, not from the text typed,
// and the edits are refilled whether it was confirmed or cancelled.
void DestinationDialog::chooseLogFile() {
    if (const std::optional<QString> file = m_choosers->chooseLogFile(this, m_logFile))
        m_logFile = *file;
    fillEdits();
}

} // namespace pagesmith
