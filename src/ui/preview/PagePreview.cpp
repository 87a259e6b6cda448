#include "ui/preview/PagePreview.h"

#include "ui/preview/PageView.h"
#include "ui/preview/PreviewLoader.h"
#include "ui/preview/PreviewTexts.h"
#include "ui/toolkit/ElidedLabel.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace pagesmith {

namespace {

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

constexpr int kSettleMilliseconds = 120;
constexpr int kSlowReadingMilliseconds = 400;

QToolButton* textButton(const char* label, const char* name, const char* tip = nullptr) {
    auto* button = new QToolButton;
    button->setText(text(label));
    button->setAccessibleName(text(name));
    button->setToolTip(text(tip ? tip : name));
    // Checked by the pane, not by a group: a group would let Tab reach only
    // its checked button.
    button->setCheckable(true);
    return button;
}

QToolButton* arrowButton(Qt::ArrowType arrow, const char* name) {
    auto* button = new QToolButton;
    button->setArrowType(arrow);
    button->setAccessibleName(text(name));
    button->setToolTip(text(name));
    button->setAutoRaise(true);
    return button;
}

// The picture's words become the image's pixels, without a copy.
QImage imageOf(PagePicture& picture) {
    const ShownRegion& region = picture.shown.region;
    auto* pixels = new std::vector<std::uint32_t>(std::move(picture.pixels));
    return QImage(
        reinterpret_cast<const uchar*>(pixels->data()), int(region.width), int(region.length),
        qsizetype(region.width) * 4, QImage::Format_RGB32,
        [](void* held) { delete static_cast<std::vector<std::uint32_t>*>(held); }, pixels);
}

// A file's size and time of change, to tell whether it changed since.
QString stampOf(const QString& file) {
    const QFileInfo info(file);
    return info.exists() ? QString::number(info.size()) + QLatin1Char('@') +
                               QString::number(info.lastModified().toMSecsSinceEpoch())
                         : QString();
}

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

PagePreview::PagePreview(QWidget* parent)
    : QFrame(parent), m_loader(new PreviewLoader(this)), m_view(new PageView),
      m_source(textButton(PreviewTexts::kSource, PreviewTexts::kSource, PreviewTexts::kSourceTip)),
      m_output(textButton(PreviewTexts::kOutput, PreviewTexts::kOutput, PreviewTexts::kOutputTip)),
      m_previous(arrowButton(Qt::LeftArrow, PreviewTexts::kPrevious)),
      m_next(arrowButton(Qt::RightArrow, PreviewTexts::kNext)),
      m_fit(textButton(PreviewTexts::kFit, PreviewTexts::kFitName)),
      m_actualSize(textButton(PreviewTexts::kActualSize, PreviewTexts::kActualSizeName)),
      m_pageLabel(new QLabel), m_factsLabel(new ElidedLabel), m_whereLabel(new ElidedLabel) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAccessibleName(text(PreviewTexts::kName));
    setFocusPolicy(Qt::NoFocus);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(4, 4, 4, 0);
    top->setSpacing(0);
    top->addWidget(m_source);
    top->addWidget(m_output);
    top->addStretch(1);
    top->addWidget(m_fit);
    top->addWidget(m_actualSize);

    m_pageLabel->setAlignment(Qt::AlignCenter);
    for (ElidedLabel* label : {m_factsLabel, m_whereLabel})
        label->setAlignment(Qt::AlignCenter);
    auto* pages = new QHBoxLayout;
    pages->setContentsMargins(4, 0, 4, 0);
    pages->addWidget(m_previous);
    pages->addWidget(m_pageLabel, 1);
    pages->addWidget(m_next);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    layout->addLayout(pages);
    layout->addWidget(m_factsLabel);
    layout->addWidget(m_whereLabel);

    setTabOrder(m_source, m_output);
    setTabOrder(m_output, m_fit);
    setTabOrder(m_fit, m_actualSize);
    setTabOrder(m_actualSize, m_view);
    setTabOrder(m_view, m_previous);
    setTabOrder(m_previous, m_next);

    connect(m_source, &QToolButton::clicked, this, [this] { setShowsOutput(false); });
    connect(m_output, &QToolButton::clicked, this, [this] { setShowsOutput(true); });
    connect(m_fit, &QToolButton::clicked, this, [this] { setZoom(PreviewZoom::Fit); });
    connect(m_actualSize, &QToolButton::clicked, this,
            [this] { setZoom(PreviewZoom::ActualSize); });
    connect(m_previous, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_next, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });

    m_viewSettled.setSingleShot(true);
    m_viewSettled.setInterval(kSettleMilliseconds);
    connect(m_view, &PageView::viewChanged, &m_viewSettled, qOverload<>(&QTimer::start));
    connect(&m_viewSettled, &QTimer::timeout, this, &PagePreview::request);
    m_slowReading.setSingleShot(true);
    m_slowReading.setInterval(kSlowReadingMilliseconds);
    connect(&m_slowReading, &QTimer::timeout, this, &PagePreview::showReading);
    updateControls();
}

PagePreview::~PagePreview() = default;

void PagePreview::showFile(const QString& path, const OutputPages& output) {
    m_path = path;
    m_outputPages = output;
    m_page = 0;
    m_pageCount = 0;
    if (output.empty())
        m_showOutput = false;
    if (path.isEmpty()) {
        m_loader->cancel();
        m_reading = false;
        m_slowReading.stop();
        m_view->clear();
        describe(nullptr);
        emit pageShown();
    } else {
        request();
    }
    updateControls();
}

void PagePreview::setOutput(const OutputPages& output) {
    if (output == m_outputPages)
        return;
    m_outputPages = output;
    if (output.empty() && m_showOutput) {
        m_showOutput = false;
        request();
    } else if (m_showOutput) {
        request();
    }
    updateControls();
}

void PagePreview::reload() {
    // The folder shown changes often (a job writing beside it, a scanner):
    // only a file that changed is worth reading again.
    if (!m_path.isEmpty() && stampOf(fileShown()) != m_stamp)
        request();
}

QString PagePreview::fileShown() const {
    return m_showOutput ? QFile::decodeName(QByteArray::fromStdString(m_outputPages.path)) : m_path;
}

void PagePreview::showPage(int page) {
    if (page < 0 || page >= m_pageCount || page == m_page)
        return;
    m_page = page;
    request();
    updateControls();
}

void PagePreview::setShowsOutput(bool output) {
    if (output && m_outputPages.empty())
        output = false;
    if (output == m_showOutput) {
        updateControls();
        return;
    }
    m_showOutput = output;
    request();
    updateControls();
}

void PagePreview::setZoom(PreviewZoom zoom) {
    m_view->setZoom(zoom); // asks for the page again through viewChanged
    m_viewSettled.stop();
    request();
    updateControls();
}

void PagePreview::request() {
    m_viewSettled.stop();
    if (m_path.isEmpty())
        return;
    if (!isVisible()) {
        m_wanted = true;
        return;
    }
    m_wanted = false;
    PictureRequest picture;
    picture.path = nativePath(m_path);
    picture.page = m_page;
    picture.view = m_view->view();
    if (m_showOutput) {
        const QString output = QFile::decodeName(QByteArray::fromStdString(m_outputPages.path));
        const int outputPage = m_outputPages.outputPageOf(m_page);
        const char* none = outputPage < 0 ? PreviewTexts::kNotInOutput
                           : output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                               ? PreviewTexts::kPdfOutput
                               : nullptr;
        if (none) {
            m_loader->cancel();
            m_reading = false;
            m_slowReading.stop();
            m_view->showMessage(text(none));
            describe(nullptr);
            emit pageShown();
            return;
        }
        picture.path = m_outputPages.path;
        picture.page = outputPage;
    }
    m_stamp = stampOf(fileShown());
    m_reading = true;
    m_slowReading.start();
    m_loader->load(
        std::move(picture), nativePath(m_path),
        [this](PagePicture drawn, int listedPages) { take(std::move(drawn), listedPages); });
}

void PagePreview::take(PagePicture picture, int listedPages) {
    m_reading = false;
    m_slowReading.stop();
    m_pageCount = listedPages > 0 ? listedPages : 0;
    if (picture.failure.empty())
        m_view->showPicture(imageOf(picture), picture.facts, picture.shown);
    else
        m_view->showMessage(QString::fromStdString(picture.failure));
    describe(picture.failure.empty() ? &picture : nullptr);
    updateControls();
    emit pageShown();
}

void PagePreview::showReading() {
    if (m_reading)
        m_view->showMessage(text(PreviewTexts::kReading));
}

// Two lines under the picture, in both states of the switch, so the picture
// keeps its place: the page's size and resolution; the file it is in and,
// for an output, which of its pages.
void PagePreview::describe(const PagePicture* picture) {
    const QString file =
        m_showOutput ? QFile::decodeName(QByteArray::fromStdString(m_outputPages.path)) : m_path;
    QString where = QFileInfo(file).fileName();
    if (m_showOutput && picture)
        where += QStringLiteral(", ") + text(PreviewTexts::kOutputPage)
                                            .arg(m_outputPages.outputPageOf(m_page) + 1)
                                            .arg(picture->pageCount);
    m_whereLabel->setFullText(m_path.isEmpty() ? QString() : where);
    if (!picture) {
        m_factsLabel->setFullText({});
        setAccessibleDescription({});
        return;
    }
    const PageFacts& facts = picture->facts;
    const int x = dotsPerInch(facts, facts.xResolution);
    const int y = dotsPerInch(facts, facts.yResolution);
    const QString width = QString::number(facts.width), length = QString::number(facts.length);
    m_factsLabel->setFullText(x > 0 && y > 0
                                  ? text(PreviewTexts::kSizeAndResolution)
                                        .arg(width, length, QString::number(x), QString::number(y))
                                  : text(PreviewTexts::kSize).arg(width, length));
    QString description = text(PreviewTexts::kDescription)
                              .arg(m_page + 1)
                              .arg(std::max(m_pageCount, 1))
                              .arg(width, length);
    if (x > 0 && y > 0)
        description += text(PreviewTexts::kDescriptionResolution).arg(x).arg(y);
    setAccessibleDescription(description);
}

void PagePreview::updateControls() {
    const bool hasFile = !m_path.isEmpty();
    m_source->setEnabled(hasFile);
    m_output->setEnabled(hasFile && !m_outputPages.empty());
    m_source->setChecked(!m_showOutput);
    m_output->setChecked(m_showOutput);
    m_fit->setChecked(m_view->zoom() == PreviewZoom::Fit);
    m_actualSize->setChecked(m_view->zoom() == PreviewZoom::ActualSize);
    m_previous->setEnabled(hasFile && m_page > 0);
    m_next->setEnabled(hasFile && m_page + 1 < m_pageCount);
    m_pageLabel->setText(hasFile && m_pageCount > 0
                             ? text(PreviewTexts::kPageOf).arg(m_page + 1).arg(m_pageCount)
                             : QString());
}

void PagePreview::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_PageUp) {
        showPage(m_page - 1);
        return;
    }
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_PageDown) {
        showPage(m_page + 1);
        return;
    }
    QFrame::keyPressEvent(event);
}

void PagePreview::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    if (m_wanted)
        request();
}

} // namespace pagesmith
