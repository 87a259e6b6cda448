#include "ui/dialogs/LinkColors.h"

#include "app/SettingsStore.h"
#include "platform/BrowserLinkColors.h"

#include <QPalette>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace pagesmith {

namespace {

// The value is read into 12 bytes, its terminator included.
constexpr std::size_t kMaxValueLength = 11;

// atoi without its undefined overflow: no number here has more than 11
// characters, and unsigned arithmetic keeps the low bits that count.
int lowByteOfNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    unsigned value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int>(value & 0xFF);
}

// The browser's choice where the system keeps one; the program's own
// settings store elsewhere.
std::string storedColor(const char* name) {
    if (std::optional<std::string> browser = platform::browserLinkColor(name))
        return *browser;
    return readSetting(name);
}

// Relative luminance and contrast ratio as the web's accessibility
// guidelines define them; 4.5 is their floor for text.
double luminance(const QColor& colour) {
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

constexpr double kReadableContrast = 4.5;

QColor readableOn(QColor colour, const QColor& background) {
    for (int step = 0; step < 20 && contrast(colour, background) < kReadableContrast; ++step)
        colour = QColor::fromHslF(colour.hslHueF(), colour.hslSaturationF(),
                                  std::min(1.0, colour.lightnessF() + 0.05));
    return colour;
}

} // namespace

std::optional<QColor> parseAnchorColor(std::string_view text) {
    if (text.size() > kMaxValueLength)
        return std::nullopt;
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = text.find(',', first + 1);
    if (second == std::string_view::npos || second + 1 == text.size())
        return std::nullopt;
    return QColor(lowByteOfNumber(text.substr(0, first)),
                  lowByteOfNumber(text.substr(first + 1, second - first - 1)),
                  lowByteOfNumber(text.substr(second + 1)));
}

LinkColors readLinkColors(QColor defaultLink, QColor defaultVisited) {
    return {parseAnchorColor(storedColor("Anchor Color")).value_or(defaultLink),
            parseAnchorColor(storedColor("Anchor Color Visited")).value_or(defaultVisited)};
}

LinkColors linkColorsForPalette(const LinkColors& chosen, const LinkColors& defaults,
                                const QPalette& palette) {
    const QColor background = palette.color(QPalette::Window);
    if (background.lightnessF() >= 0.5)
        return chosen;
    // A colour the user chose stays; only the defaults give way.
    return {chosen.link == defaults.link ? readableOn(palette.color(QPalette::Link), background)
                                         : chosen.link,
            chosen.visited == defaults.visited
                ? readableOn(palette.color(QPalette::LinkVisited), background)
                : chosen.visited};
}

} // namespace pagesmith
