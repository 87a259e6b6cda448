#include "ui/toolkit/LinguisticCollator.h"

#include <QLocale>

namespace pagesmith {

QCollator linguisticCollator(Qt::CaseSensitivity caseSensitivity, bool numeric) {
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English);
    QCollator collator(locale);
    collator.setCaseSensitivity(caseSensitivity);
    collator.setNumericMode(numeric);
    return collator;
}

} // namespace pagesmith
