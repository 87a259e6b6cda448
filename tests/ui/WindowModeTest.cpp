#include "ui/main/WindowMode.h"

#include "app/ProcessSettings.h"
#include "app/SettingsStore.h"
#include "app/StreamMessageSink.h"

#include <QApplication>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace pagesmith;

class WindowModeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }

    void opensMaximisedAndStoresTheLogPathWhenClosed() {
        ProcessSettings settings;
        settings.logPath = "/chosen/in/the/window.log";
        StreamMessageSink messages;
        bool sawFrame = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* frame = qobject_cast<QMainWindow*>(widget);
                if (!frame || !frame->isVisible())
                    continue;
                sawFrame = true;
                QCOMPARE(frame->windowTitle(), QStringLiteral("Pagesmith"));
                QVERIFY(frame->isMaximized());
                frame->close();
            }
        });
        const int result = runWindowMode(settings, messages);
        QVERIFY(sawFrame);
        // Closing the frame ends the loop with 1.
        QCOMPARE(result, 1);
        QCOMPARE(readSetting(kLogPathSetting), std::string("/chosen/in/the/window.log"));
    }

private:
    QTemporaryDir m_settingsDir;
};

QTEST_MAIN(WindowModeTest)
#include "WindowModeTest.moc"
