#pragma once

// Helpers shared by the window tests (header only: every .cpp here is a test
// program of its own).

#include "ui/dialogs/MessageBoxes.h"
#include "ui/toolkit/DesktopCalls.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace pagesmith::test {

// The program's settings as they were before the test, put back when it
// ends. On Linux QSettings::setPath gives each test settings of its own; on
// Windows they live in the registry, which no path moves.
class KeptProgramSettings {
public:
#ifdef _WIN32
    KeptProgramSettings() {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvane", "Pagesmith");
        for (const QString& key : store.allKeys())
            m_values.insert(key, store.value(key));
    }
    ~KeptProgramSettings() {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvane", "Pagesmith");
        store.clear();
        for (auto value = m_values.cbegin(); value != m_values.cend(); ++value)
            store.setValue(value.key(), value.value());
    }

private:
    QMap<QString, QVariant> m_values;
#endif
};

// Records the boxes a window shows instead of waiting for a click.
class RecordedBoxes : public MessageBoxes {
public:
    void showOk(QWidget* owner, const QString& caption, const QString& text) override {
        boxes << Box{owner, caption, text};
    }

    struct Box {
        QWidget* owner;
        QString caption;
        QString text;
    };
    QList<Box> boxes;
};

// Records what the window asks of the desktop instead of starting programs.
class RecordedDesktop : public DesktopCalls {
public:
    bool openPath(const QString& path) override {
        calls << QStringLiteral("open ") + path;
        return true;
    }
    bool showInFolder(const QString& path) override {
        calls << QStringLiteral("show ") + path;
        return true;
    }
    void notify(QWidget*, const QString& title, const QString& text) override {
        calls << QStringLiteral("notify ") + title + QStringLiteral(": ") + text;
    }

    QStringList calls;
};

// Points the user's folders (home, desktop, configuration, data, cache) into
// a folder of the test, wherever the user's own are.
inline void useHomeFolder(const QString& home) {
    qputenv("HOME", QFile::encodeName(home));
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(variable, QFile::encodeName(home + QStringLiteral("/.xdg")));
    qunsetenv("XDG_DESKTOP_DIR");
}

} // namespace pagesmith::test
