#include "ui/main/InfoResultsView.h"

#include "ui/toolkit/FlatTabStrip.h"
#include "ui/toolkit/RunOnThread.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace pagesmith {

namespace {

constexpr const char* kPageNames[] = {"Tiff Info", "Results"};
constexpr const char* kOpenSaveFolder = "Open save folder";
constexpr int kSideRange = 1000;
constexpr int kLineHeight = 15;

bool isPage(int page) {
    return page == InfoResultsView::kInfoPage || page == InfoResultsView::kResultsPage;
}

// Report lines end in "\r\n"; the text area wants one line break for the pair.
QString displayed(const std::string& text) {
    QString shown = QString::fromLocal8Bit(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

} // namespace

QFont InfoResultsView::textFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    // The largest size whose line fits the height, whatever face the system picks.
    for (int pixels = kLineHeight; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= kLineHeight)
            break;
    }
    return font;
}

InfoResultsView::InfoResultsView(QWidget* parent)
    : QFrame(parent), m_text(new QPlainTextEdit), m_tabs(new FlatTabStrip),
      m_sideBar(new QScrollBar(Qt::Horizontal)),
      m_openSaveFolder(new QPushButton(QString::fromLatin1(kOpenSaveFolder))) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    m_text->setFrameStyle(QFrame::NoFrame);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setFont(textFont());
    // Tab leaves the text for the next control instead of typing a tab.
    m_text->setTabChangesFocus(true);
    // Files dropped here go to the window, which shows them; they are not text.
    m_text->setAcceptDrops(false);
    m_text->setAccessibleName(QString::fromLatin1(kPageNames[kInfoPage]));

    for (const char* name : kPageNames)
        m_tabs->addTab(QString::fromLatin1(name));
    m_tabs->setAccessibleName(QStringLiteral("Pages"));
    m_sideBar->setRange(0, kSideRange);
    m_sideBar->setAccessibleName(QStringLiteral("Scroll sideways"));
    // A folder's picture tells the command from the page tabs beside it.
    m_openSaveFolder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_openSaveFolder->setFlat(true);
    m_openSaveFolder->setFixedHeight(m_tabs->height());
    m_openSaveFolder->hide();

    auto* tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(0, 0, 0, 0);
    tabRow->setSpacing(0);
    tabRow->addWidget(m_tabs);
    tabRow->addWidget(m_openSaveFolder);
    tabRow->addWidget(m_sideBar, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_text, 1);
    layout->addLayout(tabRow);

    connect(m_tabs, &QTabBar::currentChanged, this, &InfoResultsView::showPageText);
    connect(m_openSaveFolder, &QPushButton::clicked, this,
            [this] { emit openSaveFolderRequested(m_saveFolder); });
    connect(m_sideBar, &QScrollBar::valueChanged, this, &InfoResultsView::scrollTextSideways);
    QScrollBar* own = m_text->horizontalScrollBar();
    connect(own, &QScrollBar::valueChanged, this, &InfoResultsView::followTextScroll);
    connect(own, &QScrollBar::rangeChanged, this, &InfoResultsView::followTextScroll);
}

int InfoResultsView::currentPage() const {
    return m_tabs->currentIndex();
}

void InfoResultsView::showPage(int page) {
    if (!isPage(page))
        return;
    runOnThreadOf(this, [&] {
        if (m_tabs->currentIndex() == page)
            showPageText(page);
        else
            m_tabs->setCurrentIndex(page); // shows the text through currentChanged
    });
}

void InfoResultsView::clearPage(int page) {
    if (!isPage(page))
        return;
    runOnThreadOf(this, [&] {
        m_pages[page].clear();
        m_text->clear();
    });
}

void InfoResultsView::appendToPage(int page, const std::string& text) {
    if (!isPage(page))
        return;
    runOnThreadOf(this, [&] {
        m_pages[page] += text;
        if (page == currentPage()) {
            m_text->moveCursor(QTextCursor::End);
            m_text->insertPlainText(displayed(text));
        }
    });
}

std::string InfoResultsView::paneText(int page) const {
    if (!isPage(page))
        return {};
    return runOnThreadOf(this, [&] { return m_pages[page]; });
}

void InfoResultsView::replacePage(int page, const std::string& text) {
    if (!isPage(page))
        return;
    runOnThreadOf(this, [&] {
        m_pages[page] = text;
        if (page == currentPage())
            m_text->setPlainText(displayed(text));
    });
}

void InfoResultsView::offerSaveFolder(const QString& folder) {
    m_saveFolder = folder;
    m_openSaveFolder->setToolTip(folder);
    showSaveFolderOffer();
}

void InfoResultsView::showSaveFolderOffer() {
    m_openSaveFolder->setVisible(!m_saveFolder.isEmpty() && currentPage() == kResultsPage);
}

void InfoResultsView::showPageText(int page) {
    if (!isPage(page))
        return;
    m_text->setPlainText(displayed(m_pages[page]));
    m_text->setAccessibleName(QString::fromLatin1(kPageNames[page]));
    showSaveFolderOffer();
}

void InfoResultsView::scrollTextSideways(int value) {
    QScrollBar* own = m_text->horizontalScrollBar();
    m_movingText = true; // the bar below stays where the user put it
    own->setValue(own->minimum() +
                  static_cast<int>(qint64(own->maximum() - own->minimum()) * value / kSideRange));
    m_movingText = false;
}

void InfoResultsView::followTextScroll() {
    // The caret or a wider text moved the text: the bar below shows where it is.
    if (m_movingText)
        return;
    const QScrollBar* own = m_text->horizontalScrollBar();
    const int span = own->maximum() - own->minimum();
    const QSignalBlocker quiet(m_sideBar);
    m_sideBar->setValue(
        span > 0 ? static_cast<int>(qint64(own->value() - own->minimum()) * kSideRange / span) : 0);
}

} // namespace pagesmith
