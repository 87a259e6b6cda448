#include "ui/dialogs/AboutDialog.h"

#include "app/LibraryLicences.h"
#include "ui/dialogs/LinkColors.h"
#include "ui/toolkit/HyperLinkLabel.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace pagesmith {

namespace {

// Every text of the box, in one place.
constexpr const char* kCaption = "About Pagesmith";
constexpr const char* kGroupTitle = "About Pagesmith";
constexpr const char* kNameLine = "Pagesmith Version " PAGESMITH_VERSION;
constexpr const char* kMakerLine = "Copyright (C) Tolvane";
constexpr const char* kIconName = "Pagesmith icon";
constexpr const char* kDetailsButton = "&Details";
constexpr const char* kDetailsName = "Licences and library versions";

struct LinkText {
    AboutDialog::Link id;
    const char* label;
    const char* target;
};

constexpr LinkText kLinks[] = {
    {AboutDialog::WebSite, "www.tolvane.example", "https://www.tolvane.example/pagesmith"},
    {AboutDialog::OrderInfo, "Order info", "https://www.tolvane.example/pagesmith/order"},
    {AboutDialog::EMail, "pagesmith@tolvane.example", "mailto:pagesmith@tolvane.example"},
};

QString linkObjectName(AboutDialog::Link id) {
    return QStringLiteral("link%1").arg(int(id));
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QString::fromLatin1(kCaption));

    auto* icon = new QLabel;
    icon->setPixmap(windowIcon().pixmap(32, 32));
    icon->setAccessibleName(QString::fromLatin1(kIconName));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* name = new QLabel(QString::fromLatin1(kNameLine) + QLatin1Char('\n') +
                            QString::fromLatin1(kMakerLine));
    name->setAlignment(Qt::AlignCenter);

    const LinkColors defaults{HyperLinkLabel::kDefaultLinkColor,
                              HyperLinkLabel::kDefaultVisitedColor};
    const LinkColors colors =
        linkColorsForPalette(readLinkColors(defaults.link, defaults.visited), defaults, palette());
    QList<HyperLinkLabel*> links;
    for (const LinkText& text : kLinks) {
        auto* link = new HyperLinkLabel(QString::fromLatin1(text.label));
        link->setObjectName(linkObjectName(text.id));
        link->setTarget(QString::fromLatin1(text.target));
        link->setLinkColors(colors.link, colors.visited);
        links << link;
    }

    auto* group = new QGroupBox(QString::fromLatin1(kGroupTitle));
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0);
    grid->addWidget(name, 0, 1, 1, 2);
    grid->addWidget(links[0], 1, 0, 1, 2);
    grid->addWidget(links[1], 1, 2);
    grid->addWidget(links[2], 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    // The licences and the libraries' versions, shown on request so that the
    // box keeps its size.
    auto* details = new QPlainTextEdit(QString::fromStdString(licenceDetails()));
    details->setObjectName(QStringLiteral("details"));
    details->setAccessibleName(QString::fromLatin1(kDetailsName));
    details->setReadOnly(true);
    details->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Sized to show every line whole.
    const QStringList lines = details->toPlainText().split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, details->fontMetrics().horizontalAdvance(line));
    const int margins =
        2 * (details->frameWidth() + int(details->document()->documentMargin()) + 2);
    // A little room over the measured width: the text is laid out with
    // fractional advances that can add up beyond it.
    details->setMinimumWidth(widest + margins + 2 * details->fontMetrics().averageCharWidth());
    details->setFixedHeight(details->fontMetrics().lineSpacing() * int(lines.size()) + margins);
    details->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QPushButton* showDetails =
        buttons->addButton(QString::fromLatin1(kDetailsButton), QDialogButtonBox::ActionRole);
    showDetails->setObjectName(QStringLiteral("showDetails"));
    showDetails->setCheckable(true);
    showDetails->setAutoDefault(false);
    connect(showDetails, &QPushButton::toggled, details, &QWidget::setVisible);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(details);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

HyperLinkLabel* AboutDialog::link(Link id) const {
    return findChild<HyperLinkLabel*>(linkObjectName(id));
}

void AboutDialog::mouseReleaseEvent(QMouseEvent* event) {
    // Releases on the icon, the texts and the group box come here too: those
    // widgets leave mouse clicks to their parent.
    if (event->button() == Qt::LeftButton) {
        done(0);
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

} // namespace pagesmith
