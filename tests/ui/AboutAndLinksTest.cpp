#include "WindowTestSupport.h"
#include "app/LibraryLicences.h"
#include "app/SettingsStore.h"
#include "engine/CompressionChoice.h"
#include "support/TempDir.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/LinkColors.h"
#include "ui/main/MainFrameTexts.h"
#include "ui/toolkit/DesktopIntegration.h"
#include "ui/toolkit/HyperLinkLabel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>

using namespace pagesmith;

namespace {

// A path of the tests' own in the form Qt gives paths, with '/'.
QString qtPath(const std::string& path) {
    return QDir::fromNativeSeparators(QString::fromStdString(path));
}

} // namespace

// Stands in for the desktop's handler of web, mail and file addresses.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

class AboutAndLinksTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        for (const char* scheme : {"https", "mailto", "file"})
            QDesktopServices::setUrlHandler(scheme, &m_recorder, "open");
    }
    void cleanupTestCase() {
        for (const char* scheme : {"https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    void init() {
        m_recorder.opened.clear();
        writeSetting("Anchor Color", "");
        writeSetting("Anchor Color Visited", "");
    }

    void anchorColorsReadThreeNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("expected"); // invalid: the default stays
        QTest::newRow("green") << "0,128,0" << QColor(0, 128, 0);
        QTest::newRow("third number missing") << "0,128" << QColor();
        QTest::newRow("third number empty") << "0,128," << QColor();
        QTest::newRow("junk") << "junk" << QColor();
        QTest::newRow("empty") << "" << QColor();
        QTest::newRow("11 characters") << "255,255,100" << QColor(255, 255, 100);
        QTest::newRow("overlong") << "255,255,1000" << QColor();
        QTest::newRow("low 8 bits") << "300,-1,7" << QColor(44, 255, 7);
        QTest::newRow("like atoi") << " 12,3x,y" << QColor(12, 3, 0);
    }

    void anchorColorsReadThreeNumbers() {
        QFETCH(QString, text);
        QFETCH(QColor, expected);
        const std::optional<QColor> parsed = parseAnchorColor(text.toStdString());
        QCOMPARE(parsed.value_or(QColor()), expected);
    }

    void aboutBoxShowsItsTextsAndTheStoredLinkColours() {
#ifdef _WIN32
        // Windows keeps them with the browser's settings; they are put back afterwards.
        QSettings browser(
            QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Settings"),
            QSettings::NativeFormat);
        const QVariant link = browser.value("Anchor Color");
        const QVariant visited = browser.value("Anchor Color Visited");
        const auto putBack = [&browser](const QString& name, const QVariant& value) {
            if (value.isValid())
                browser.setValue(name, value);
            else
                browser.remove(name);
        };
        const auto restore = qScopeGuard([&] {
            putBack("Anchor Color", link);
            putBack("Anchor Color Visited", visited);
        });
        browser.setValue("Anchor Color", "0,128,0");
        browser.setValue("Anchor Color Visited", "0,128"); // malformed: the default stays
        browser.sync();
#else
        writeSetting("Anchor Color", "0,128,0");
        writeSetting("Anchor Color Visited", "0,128"); // malformed: the default stays
#endif
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Pagesmith"));
        QCOMPARE(about.findChild<QGroupBox*>()->title(), QStringLiteral("About Pagesmith"));
        QStringList labels;
        for (QLabel* label : about.findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains(
            QStringLiteral("Pagesmith Version " PAGESMITH_VERSION "\nCopyright (C) Tolvane")));

        struct Expected {
            AboutDialog::Link id;
            const char* label;
            const char* target;
        };
        const Expected links[] = {
            {AboutDialog::WebSite, "www.tolvane.example", "https://www.tolvane.example/pagesmith"},
            {AboutDialog::OrderInfo, "Order info", "https://www.tolvane.example/pagesmith/order"},
            {AboutDialog::EMail, "pagesmith@tolvane.example", "mailto:pagesmith@tolvane.example"},
        };
        for (const Expected& expected : links) {
            HyperLinkLabel* link = about.link(expected.id);
            QVERIFY(link);
            QCOMPARE(link->label(), QString(expected.label));
            QCOMPARE(link->target(), QString(expected.target));
            QCOMPARE(link->textColor(), QColor(0, 128, 0));
            QCOMPARE(link->visitedColor(), QColor(128, 0, 128));
            QCOMPARE(link->focusPolicy(), Qt::ClickFocus);
        }
    }

    // On a dark palette the default blue and purple give way to the palette's
    // link colours, lightened until they read; colours the user chose stay.
    void darkPalettesGetReadableLinkColours_data() {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("paletteLink");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QColor>("expected"); // invalid: lighter than the palette's, readable
        const QColor light(240, 240, 240);
        const QColor dark(53, 53, 53);
        const QColor lightBlue(42, 130, 218);
        QTest::newRow("light palette") << light << lightBlue << "" << QColor(0, 0, 255);
        QTest::newRow("dark, readable link")
            << dark << QColor(120, 180, 255) << "" << QColor(120, 180, 255);
        QTest::newRow("dark, blue link") << dark << QColor(0, 0, 255) << "" << QColor();
        QTest::newRow("dark, chosen colour") << dark << lightBlue << "0,128,0" << QColor(0, 128, 0);
    }
    void darkPalettesGetReadableLinkColours() {
        QFETCH(QColor, window);
        QFETCH(QColor, paletteLink);
        QFETCH(QString, stored);
        QFETCH(QColor, expected);
#ifdef _WIN32
        if (!stored.isEmpty())
            QSKIP("Windows keeps the chosen colour with the browser's settings, which the about "
                  "box test covers");
#endif
        writeSetting("Anchor Color", stored.toStdString());
        QPalette palette;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::Link, paletteLink);
        palette.setColor(QPalette::LinkVisited, QColor(200, 150, 255));
        const QPalette before = QApplication::palette();
        QApplication::setPalette(palette);
        AboutDialog about;
        QApplication::setPalette(before);

        const QColor drawn = about.link(AboutDialog::WebSite)->textColor();
        if (expected.isValid()) {
            QCOMPARE(drawn, expected);
        } else {
            QVERIFY(drawn.lightnessF() > paletteLink.lightnessF());
            QCOMPARE(drawn.hslHue(), paletteLink.hslHue());
            // Light enough to read on the dark window: luminance well above it.
            QVERIFY(qGray(drawn.rgb()) - qGray(window.rgb()) > 100);
        }
    }

    void linksOpenOnClickEnterAndSpaceAndTurnVisited() {
        AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        HyperLinkLabel* mail = about.link(AboutDialog::EMail);
        QCOMPARE(mail->textColor(), QColor(0, 0, 255));

        // Pressed on the link, released beside its text: nothing opens.
        const QPoint inside = mail->labelRect().center();
        const QPoint outside = mail->labelRect().bottomRight() + QPoint(10, 10);
        QTest::mousePress(mail, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(mail, Qt::LeftButton, {}, outside);
        QVERIFY(m_recorder.opened.isEmpty());
        QVERIFY(!mail->isVisited());
        QVERIFY(about.isVisible());

        QTest::mouseClick(mail, Qt::LeftButton, {}, inside);
        QCOMPARE(m_recorder.opened, QList<QUrl>({QUrl("mailto:pagesmith@tolvane.example")}));
        QVERIFY(mail->isVisited());
        QCOMPARE(mail->textColor(), QColor(128, 0, 128));
        QVERIFY(mail->hasFocus());

        QTest::keyClick(mail, Qt::Key_Space);
        QTest::keyClick(mail, Qt::Key_Return);
        QCOMPARE(m_recorder.opened.size(), 3);
        QCOMPARE(mail->textColor(), QColor(128, 0, 128));
        QVERIFY(about.isVisible()); // Enter went to the link, not to the OK button

        // Assistive tools see a link they can press.
        QAccessibleInterface* access =
            QAccessible::queryAccessibleInterface(about.link(AboutDialog::OrderInfo));
        QCOMPARE(access->role(), QAccessible::Link);
        QCOMPARE(access->text(QAccessible::Name), QStringLiteral("Order info"));
        QCOMPARE(access->text(QAccessible::Description),
                 QStringLiteral("https://www.tolvane.example/pagesmith/order"));
        access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(m_recorder.opened.last(), QUrl("https://www.tolvane.example/pagesmith/order"));
    }

    void aClickOnTheSurfaceClosesTheBox() {
        AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        about.setResult(-1);
        QLabel* icon = nullptr;
        for (QLabel* label : about.findChildren<QLabel*>())
            if (label->accessibleName() == "Pagesmith icon")
                icon = label;
        QVERIFY(icon);
        QTest::mouseClick(icon, Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), 0);
        QVERIFY(m_recorder.opened.isEmpty());
    }

    // The licences and library versions stay out of sight until asked for;
    // a click in their text does not close the box.
    void detailsShowTheLicencesOnRequest() {
        AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto* details = about.findChild<QPlainTextEdit*>(QStringLiteral("details"));
        auto* button = about.findChild<QPushButton*>(QStringLiteral("showDetails"));
        QVERIFY(details && button);
        QCOMPARE(button->text(), QStringLiteral("&Details"));
        QVERIFY(!details->isVisible());
        const int closedHeight = about.height();

        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(details->isVisible());
        QTRY_VERIFY(about.height() > closedHeight);
        QCOMPARE(details->toPlainText(), QString::fromStdString(licenceDetails()));
        for (const char* licence : {"MIT", "LGPL-3.0-only", "Apache-2.0"})
            QVERIFY2(details->toPlainText().contains(licence), licence);
        about.setResult(-1);
        QTest::mouseClick(details->viewport(), Qt::LeftButton);
        QVERIFY(about.isVisible());

        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!details->isVisible());
    }

    void helpOpensTheHelpFileOrTheUserGuide() {
        test::TempDir prefix;
        std::filesystem::create_directories(prefix.path() / "bin");
        const QString program = qtPath(prefix.file("bin/pagesmith"));
        test::writeTextFile(prefix.file("bin/pagesmith"), "");
        const QString beside = qtPath(prefix.file("bin/pagesmith-guide.html"));
        const QString installed = qtPath(prefix.file("share/doc/pagesmith/pagesmith-guide.html"));
        const QString helpFile = qtPath(prefix.file("bin/pagesmith.chm"));

        // Nothing to open: nothing happens.
        QCOMPARE(DesktopIntegration::helpTarget(program, {}), QString());
        DesktopIntegration::openHelp(program);
        QVERIFY(m_recorder.opened.isEmpty());

        std::filesystem::create_directories(prefix.path() / "share/doc/pagesmith");
        test::writeTextFile(prefix.file("share/doc/pagesmith/pagesmith-guide.html"),
                            "<html></html>");
        QCOMPARE(DesktopIntegration::helpTarget(program, {}), installed);
        test::writeTextFile(prefix.file("bin/pagesmith-guide.html"), "<html></html>");
        QCOMPARE(DesktopIntegration::helpTarget(program, {}), beside);
        test::writeTextFile(prefix.file("bin/pagesmith.chm"), "");
        QCOMPARE(DesktopIntegration::helpTarget(program, {}), helpFile);
        DesktopIntegration::openHelp(program);
        QCOMPARE(m_recorder.opened, QList<QUrl>({QUrl::fromLocalFile(helpFile)}));

        // The extension is replaced, never a dot of a folder name.
        test::TempDir dotted;
        std::filesystem::create_directories(dotted.path() / "tools.d");
        test::writeTextFile(dotted.file("tools.d/prog.exe"), "");
        test::writeTextFile(dotted.file("tools.d/prog.chm"), "");
        QCOMPARE(DesktopIntegration::helpTarget(qtPath(dotted.file("tools.d/prog.exe")), {}),
                 qtPath(dotted.file("tools.d/prog.chm")));
        QCOMPARE(DesktopIntegration::helpTarget(qtPath(dotted.file("tools.d/prog")), {}),
                 qtPath(dotted.file("tools.d/prog.chm")));

        // The documentation folders of the desktop come last.
        test::TempDir docs;
        test::writeTextFile(docs.file("pagesmith-guide.html"), "");
        QCOMPARE(DesktopIntegration::helpTarget(qtPath(dotted.file("other")), {qtPath(docs.str())}),
                 qtPath(docs.file("pagesmith-guide.html")));
    }

    // The guide the Help command opens speaks of what the program has: every
    // menu command, the dialogs, each save format and each result, by the
    // names the program shows; and every picture it shows is there.
    void userGuideNamesWhatTheProgramShows() {
        QFile file(QStringLiteral(PAGESMITH_USER_GUIDE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString guide = QString::fromUtf8(file.readAll());
        QStringList names;
        for (const CommandText& command : MainFrameTexts::commands()) {
            if (command.menuText)
                names << QString::fromLatin1(command.menuText).remove('&').remove("...");
        }
        for (int mode = 0; mode < kCompressionModeCount; ++mode)
            names << QString::fromLatin1(compressionModeInfo(CompressionMode(mode))->dialogText)
                         .trimmed();
        names << "Select Destination Folder"
              << "Save Tiff Name"
              << "Save Folder"
              << "Log File"
              << "Converted"
              << "Merged"
              << "Failed"
              << "Cancel"
              << "Tiff Info"
              << "Results"
              << "Open save folder"
              << "Converting 12 files"
              << "--window"
              << "F5"
              << "Details";
        for (const QString& name : names)
            QVERIFY2(guide.contains(name), qPrintable(name));

        static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
        int pictures = 0;
        for (const QRegularExpressionMatch& match : picture.globalMatch(guide)) {
            ++pictures;
            QVERIFY(QFileInfo(QFileInfo(file).dir().filePath(match.captured(1))).isFile());
        }
        QCOMPARE(pictures, 4);
    }

private:
    test::KeptProgramSettings m_keptSettings;
    QTemporaryDir m_settingsDir;
    UrlRecorder m_recorder;
};

QTEST_MAIN(AboutAndLinksTest)
#include "AboutAndLinksTest.moc"
