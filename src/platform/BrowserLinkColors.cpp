#include "platform/BrowserLinkColors.h"

#ifdef _WIN32
#include <QSettings>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

std::optional<std::string> browserLinkColor(const char* name) {
    QSettings browser(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Settings"),
        QSettings::NativeFormat);
    return browser.value(QLatin1String(name)).toString().toStdString();
}

#else

std::optional<std::string> browserLinkColor(const char*) {
    return std::nullopt;
}

#endif

} // namespace pagesmith::platform
