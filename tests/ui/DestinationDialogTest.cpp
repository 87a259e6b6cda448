#include "ui/dialogs/DestinationDialog.h"
#include "WindowTestSupport.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/PathChoosers.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>

using namespace pagesmith;
using Control = DestinationDialog::Control;

namespace {

// Answers the folder chooser and the log-file dialog from a script and notes
// where each was started.
class ScriptedChoosers : public PathChoosers {
public:
    std::optional<QString> chooseFolder(QWidget*, const QString& start) override {
        folderStartedFrom << start;
        return folderAnswer;
    }
    std::optional<QString> chooseLogFile(QWidget*, const QString& current) override {
        logStartedFrom << current;
        return logAnswer;
    }

    std::optional<QString> folderAnswer;
    std::optional<QString> logAnswer;
    QStringList folderStartedFrom;
    QStringList logStartedFrom;
};

// A dialog as Convert or Merge opens it, with scripted choosers and recorded
// boxes, shown without blocking.
struct OpenDialog {
    explicit OpenDialog(bool merge = true, int saveFormat = 2)
        : dialog("/data/out", "me_tiff", "/logs/pagesmithlog.txt", saveFormat, merge) {
        dialog.setPathChoosers(choosers);
        dialog.setMessageBoxes(boxes);
        dialog.open();
    }

    QLineEdit* edit(Control id) { return static_cast<QLineEdit*>(dialog.control(id)); }
    QPushButton* button(Control id) { return static_cast<QPushButton*>(dialog.control(id)); }
    QComboBox* formats() {
        return static_cast<QComboBox*>(dialog.control(Control::SaveFormatCombo));
    }
    QStringList edits() {
        return {edit(Control::SaveFolderEdit)->text(), edit(Control::MergedNameEdit)->text(),
                edit(Control::LogFileEdit)->text()};
    }
    void type(const QString& folder, const QString& name, const QString& log) {
        edit(Control::SaveFolderEdit)->setText(folder);
        edit(Control::MergedNameEdit)->setText(name);
        edit(Control::LogFileEdit)->setText(log);
    }

    ScriptedChoosers choosers;
    test::RecordedBoxes boxes;
    DestinationDialog dialog;
};

QString controlText(QWidget* widget) {
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return QString();
}

} // namespace

class DestinationDialogTest : public QObject {
    Q_OBJECT

private slots:
    void showsItsTextsAndTabsThroughThemInOrder() {
        struct Expected {
            Control id;
            const char* text;
            const char* accessibleName;
        };
        const Expected controls[] = {
            {Control::Ok, "OK", "OK"},
            {Control::Cancel, "Cancel", "Cancel"},
            {Control::SaveFolderEdit, "", "Save folder"},
            {Control::SaveFolderButton, "Save Folder", "Save Folder"},
            {Control::SaveFormatCombo, "", "Save format"},
            {Control::SaveFormatLabel, "Save format", "Save format"},
            {Control::MergedNameEdit, "", "Save Tiff Name"},
            {Control::MergedNameLabel, "Save Tiff Name", "Save Tiff Name"},
            {Control::LogFileButton, "Log File", "Log File"},
            {Control::LogFileEdit, "", "Log file"},
        };
        const char* const entries[] = {"Unompressed",
                                       "PackBits",
                                       "Group 3 1D (Fill to Byte)",
                                       "Group 3 1D ",
                                       "Group 3 2D (Fill to Byte)",
                                       "Group 3 2D ",
                                       "Group 4",
                                       "LZW",
                                       "JPEG",
                                       "PDF document"};

        OpenDialog open;
        QCOMPARE(open.dialog.windowTitle(), QStringLiteral("Select Destination Folder"));
        QVERIFY(open.button(Control::Ok)->isDefault());

        QList<QWidget*> tabStops;
        for (const Expected& expected : controls) {
            QWidget* widget = open.dialog.control(expected.id);
            QVERIFY2(widget, qPrintable(QString::number(expected.id)));
            QCOMPARE(controlText(widget), QString::fromLatin1(expected.text));
            QCOMPARE(widget->accessibleName(), QString::fromLatin1(expected.accessibleName));
            QVERIFY(open.dialog.rect().contains(widget->geometry()));
            for (QWidget* other : std::as_const(tabStops))
                QVERIFY2(!widget->geometry().intersects(other->geometry()),
                         qPrintable(QString::number(expected.id)));
            if (!qobject_cast<QLabel*>(widget))
                tabStops << widget;
        }
        QCOMPARE(open.formats()->count(), int(std::size(entries)));
        for (int index = 0; index < open.formats()->count(); ++index)
            QCOMPARE(open.formats()->itemText(index), QString::fromLatin1(entries[index]));
        QCOMPARE(open.formats()->currentText(), QStringLiteral("Group 3 1D (Fill to Byte)"));

        // Focus starts on OK and Tab walks the controls in their order, round
        // to OK again.
        QVERIFY(QTest::qWaitForWindowActive(&open.dialog));
        for (int stop = 0; stop <= tabStops.size(); ++stop) {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused);
            if (focused->parentWidget() == open.formats())
                focused = open.formats();
            QCOMPARE(focused, tabStops.value(stop % tabStops.size()));
            QTest::keyClick(focused, Qt::Key_Tab);
        }
    }

    void showsTheMergedFileNameForMergesOnly_data() {
        QTest::addColumn<bool>("merge");
        QTest::newRow("convert") << false;
        QTest::newRow("merge") << true;
    }
    void showsTheMergedFileNameForMergesOnly() {
        QFETCH(bool, merge);
        OpenDialog open(merge);
        QCOMPARE(open.dialog.control(Control::MergedNameLabel)->isVisible(), merge);
        QCOMPARE(open.dialog.control(Control::MergedNameEdit)->isVisible(), merge);
        QVERIFY(open.dialog.control(Control::LogFileEdit)->isVisible());
    }

    void refillsTheEditsFromTheValuesHeld_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QStringList>("shown");
        const QStringList typed{"typed folder", "typed name", "typed.log"};
        QTest::newRow("folder chosen")
            << "folder" << std::optional<QString>("/chosen")
            << QStringList{"/chosen", "me_tiff", "/logs/pagesmithlog.txt"};
        QTest::newRow("folder chooser cancelled") << "folder" << std::optional<QString>() << typed;
        QTest::newRow("log file chosen") << "log" << std::optional<QString>("/logs/new.txt")
                                         << QStringList{"/data/out", "me_tiff", "/logs/new.txt"};
        QTest::newRow("log file dialog cancelled")
            << "log" << std::optional<QString>()
            << QStringList{"/data/out", "me_tiff", "/logs/pagesmithlog.txt"};
    }
    void refillsTheEditsFromTheValuesHeld() {
        QFETCH(QString, button);
        QFETCH(std::optional<QString>, answer);
        QFETCH(QStringList, shown);
        OpenDialog open;
        open.type("typed folder", "typed name", "typed.log");
        open.choosers.folderAnswer = answer;
        open.choosers.logAnswer = answer;

        const bool folder = button == QLatin1String("folder");
        QTest::mouseClick(open.button(folder ? Control::SaveFolderButton : Control::LogFileButton),
                          Qt::LeftButton);

        QCOMPARE(open.edits(), shown);
        // The folder chooser starts at the folder in the box.
        QCOMPARE(open.choosers.folderStartedFrom,
                 folder ? QStringList{"typed folder"} : QStringList());
        // The log-file dialog starts from the log file held, not the text typed.
        QCOMPARE(open.choosers.logStartedFrom,
                 folder ? QStringList() : QStringList{"/logs/pagesmithlog.txt"});
        QVERIFY(open.dialog.isVisible());
    }

    void okRefusesOnlyAnEmptySaveFolder_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("a blank") << " " << true;
    }
    void okRefusesOnlyAnEmptySaveFolder() {
        QFETCH(QString, folder);
        QFETCH(bool, accepted);
        OpenDialog open;
        open.type(folder, "name", "log");

        QTest::mouseClick(open.button(Control::Ok), Qt::LeftButton);

        QCOMPARE(open.dialog.isVisible(), !accepted);
        QCOMPARE(open.boxes.boxes.size(), accepted ? 0 : 1);
        if (!accepted) {
            QCOMPARE(open.boxes.boxes[0].owner, &open.dialog);
            QCOMPARE(open.boxes.boxes[0].caption, QStringLiteral("Warning"));
            QCOMPARE(open.boxes.boxes[0].text, QStringLiteral("Select save dir please!"));
            QCOMPARE(open.edits(), (QStringList{folder, "name", "log"}));
        } else {
            QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
            QCOMPARE(open.dialog.saveFolder(), folder);
        }
    }

    void readsTheSaveFormatFromTheBox_data() {
        QTest::addColumn<int>("given");
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::addColumn<int>("readBack");
        QTest::newRow("as given") << 2 << std::optional<QString>() << 2;
        QTest::newRow("given out of range") << 12 << std::optional<QString>() << -1;
        QTest::newRow("an entry typed") << 2 << std::optional<QString>("LZW") << 7;
        QTest::newRow("the tenth entry") << 9 << std::optional<QString>() << 9;
        QTest::newRow("the tenth entry typed")
            << 2 << std::optional<QString>("PDF document") << 9;
        QTest::newRow("an entry with its trailing blank")
            << 2 << std::optional<QString>("Group 3 1D ") << 3;
        QTest::newRow("without the blank") << 2 << std::optional<QString>("Group 3 1D") << -1;
        QTest::newRow("other case") << 2 << std::optional<QString>("lzw") << -1;
        QTest::newRow("emptied") << 6 << std::optional<QString>("") << -1;
    }
    void readsTheSaveFormatFromTheBox() {
        QFETCH(int, given);
        QFETCH(std::optional<QString>, typed);
        QFETCH(int, readBack);
        OpenDialog open(false, given);
        QVERIFY(QTest::qWaitForWindowActive(&open.dialog));
        if (given > 9)
            QCOMPARE(open.formats()->currentText(), QString());
        QLineEdit* typedInto = open.formats()->lineEdit();
        typedInto->setFocus();
        if (typed) {
            typedInto->clear();
            QTest::keyClicks(typedInto, *typed);
        }

        // Enter ends the typing and the dialog at once.
        QTest::keyClick(typedInto, Qt::Key_Return);

        QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(open.dialog.saveFormat(), readBack);
        QCOMPARE(open.formats()->count(), 10);
    }

    void readsTheValuesBackHoweverItEnds_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("Cancel") << "Cancel" << int(QDialog::Rejected);
        QTest::newRow("Esc") << "Esc" << int(QDialog::Rejected);
        QTest::newRow("close box") << "close" << int(QDialog::Rejected);
        QTest::newRow("Enter in the list's edit") << "Enter" << int(QDialog::Accepted);
    }
    void readsTheValuesBackHoweverItEnds() {
        QFETCH(QString, how);
        QFETCH(int, result);
        OpenDialog open;
        open.type("/typed/folder", "typed name", "/typed.log");
        open.formats()->setCurrentIndex(6);
        QVERIFY(QTest::qWaitForWindowActive(&open.dialog));

        if (how == QLatin1String("Cancel"))
            QTest::mouseClick(open.button(Control::Cancel), Qt::LeftButton);
        else if (how == QLatin1String("Esc"))
            QTest::keyClick(open.edit(Control::LogFileEdit), Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            open.dialog.close();
        else
            QTest::keyClick(open.formats()->lineEdit(), Qt::Key_Return);

        QVERIFY(!open.dialog.isVisible());
        QCOMPARE(open.dialog.result(), result);
        QCOMPARE(open.dialog.saveFolder(), QStringLiteral("/typed/folder"));
        QCOMPARE(open.dialog.mergedFileName(), QStringLiteral("typed name"));
        QCOMPARE(open.dialog.logFile(), QStringLiteral("/typed.log"));
        QCOMPARE(open.dialog.saveFormat(), 6);
        QCOMPARE(open.formats()->count(), 10);

        // Shown again, it opens with what it holds.
        open.dialog.open();
        QCOMPARE(open.edits(), (QStringList{"/typed/folder", "typed name", "/typed.log"}));
        QCOMPARE(open.formats()->currentIndex(), 6);
    }

    void runsModallyUntilOk() {
        OpenDialog open;
        open.dialog.hide();
        QTimer::singleShot(0, open.button(Control::Ok), &QPushButton::click);
        QCOMPARE(open.dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(open.dialog.saveFolder(), QStringLiteral("/data/out"));
    }

    void opensCentredOverItsOwnerInsideTheScreen() {
        QWidget owner;
        const QRect workArea = owner.screen()->availableGeometry();
        owner.setGeometry(workArea.left() + 100, workArea.top() + 80, 400, 300);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        DestinationDialog dialog("", "", "", 2, false, &owner);
        dialog.open();
        QCOMPARE(dialog.frameGeometry().center(), owner.frameGeometry().center());

        dialog.hide();
        owner.move(workArea.right() - 100, workArea.bottom() - 100);
        dialog.open();
        QVERIFY(workArea.contains(dialog.frameGeometry()));
        QCOMPARE(dialog.frameGeometry().right(), workArea.right());
        QCOMPARE(dialog.frameGeometry().bottom(), workArea.bottom());

        // Over a hidden owner it takes the middle of the work area.
        dialog.hide();
        owner.hide();
        dialog.open();
        QCOMPARE(dialog.frameGeometry().center(), workArea.center());
    }

    // With no save folder yet, the chooser starts at the folder the files
    // come from; the platform's chooser opens at the nearest folder that is
    // there, never at the working folder.
    void folderChooserStartsAtTheSaveFolderOrTheFolderShown() {
        OpenDialog open;
        open.dialog.setFolderShown("/data/scans");
        open.edit(Control::SaveFolderEdit)->clear();
        open.button(Control::SaveFolderButton)->click();
        open.edit(Control::SaveFolderEdit)->setText("/data/out");
        open.button(Control::SaveFolderButton)->click();
        QCOMPARE(open.choosers.folderStartedFrom, QStringList({"/data/scans", "/data/out"}));

        QTemporaryDir home;
        test::useHomeFolder(home.path());
        QVERIFY(QDir(home.path()).mkpath("a/b"));
        const struct {
            QString asked;
            QString opened;
        } cases[] = {
            {home.filePath("a/b"), home.filePath("a/b")},
            {home.filePath("a/b/not/yet"), home.filePath("a/b")},
            {home.filePath("a/file-not-folder"), home.filePath("a")},
            {QString(), QDir::homePath()},
        };
        for (const auto& each : cases)
            QCOMPARE(existingFolderAtOrAbove(each.asked), each.opened);
    }

    // The platform dialog behind "Log File" takes the name of a file that is
    // not there yet and gives it the text suffix.
    void logFileDialogTakesANewFileName() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const std::unique_ptr<QFileDialog> fileDialog =
            makeLogFileDialog(nullptr, folder.filePath("run.txt"));
        QCOMPARE(fileDialog->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(fileDialog->selectedFiles(), QStringList{folder.filePath("run.txt")});

        fileDialog->selectFile(folder.filePath("new-log"));
        static_cast<QDialog*>(fileDialog.get())->accept();

        QCOMPARE(fileDialog->result(), int(QDialog::Accepted));
        QCOMPARE(fileDialog->selectedFiles(), QStringList{folder.filePath("new-log.txt")});
    }
};

QTEST_MAIN(DestinationDialogTest)
#include "DestinationDialogTest.moc"
