#pragma once

#include <QColor>

class QPalette;

#include <optional>
#include <string_view>

namespace pagesmith {

struct LinkColors {
    QColor link;
    QColor visited;
};

// Reads a stored link colour "r,g,b": three decimal numbers of which the first
// two are each followed by a comma and the third is not empty. Each number is
// read the way atoi reads (leading blanks, a sign, digits up to the first
// other character, 0 when there are none) and only its low 8 bits count.
// Values longer than 11 characters do not fit where they are read and count as
// absent. Nothing for a text that does not qualify.
std::optional<QColor> parseAnchorColor(std::string_view text);

// The link colours the user chose for web links: the browser's "Anchor Color"
// and "Anchor Color Visited" on Windows, the same names in the program's
// settings store elsewhere; the defaults where a value is missing or malformed.
LinkColors readLinkColors(QColor defaultLink, QColor defaultVisited);

// The colours to draw links in on a palette: the ones chosen, except that on a
// dark palette, where pure blue and purple cannot be read, a colour left at
// its default becomes the palette's own link colour, lightened where that
// still stands too close to the background.
LinkColors linkColorsForPalette(const LinkColors& chosen, const LinkColors& defaults,
                                const QPalette& palette);

} // namespace pagesmith
