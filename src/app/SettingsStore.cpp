#include "app/SettingsStore.h"

#include <QSettings>

#include <memory>

namespace pagesmith {

namespace {

// A stored value read back into more than this many bytes (with its
// terminator) does not fit the reader and counts as absent.
constexpr qsizetype kMaxValueBytes = 2048;

// Values read and written by name live in the "Udt" group.
std::unique_ptr<QSettings> openStore() {
    return openSettingsGroup("Udt");
}

} // namespace

// The registry under HKEY_CURRENT_USER on Windows, a configuration file in the
// user's configuration folder elsewhere.
std::unique_ptr<QSettings> openSettingsGroup(const std::string& group) {
    auto store =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral("Tolvane"), QStringLiteral("Pagesmith"));
    store->beginGroup(QString::fromStdString(group));
    return store;
}

std::string readSetting(const std::string& name) {
    const QByteArray value = openStore()->value(QString::fromStdString(name)).toString().toUtf8();
    if (value.size() >= kMaxValueBytes)
        return {};
    return value.toStdString();
}

void writeSetting(const std::string& name, const std::string& value) {
    const auto store = openStore();
    store->setValue(QString::fromStdString(name), QString::fromStdString(value));
    store->sync();
}

} // namespace pagesmith
