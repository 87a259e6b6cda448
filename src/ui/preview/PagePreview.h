#pragma once

#include "batch/BatchResult.h"
#include "engine/preview/PagePicture.h"

#include <QFrame>
#include <QString>
#include <QTimer>

class QLabel;
class QToolButton;

namespace pagesmith {

class ElidedLabel;
class PageView;
class PreviewLoader;

// The page preview beside the file list: a page of the file chosen, fitted
// to the pane or at its own size, with its page number, size and
// resolution. Previous and next (and Page Up and Page Down while the pane has
// the focus) turn its pages; for a file the last job wrote, a switch shows
// the page it wrote instead, at the same place and scale. Pages are drawn on
// a thread of their own: a new file or page gives up the one in hand, and
// the window never waits. A page that cannot be shown says why. While the
// pane is hidden nothing is read.
class PagePreview : public QFrame {
    Q_OBJECT

public:
    explicit PagePreview(QWidget* parent = nullptr);
    ~PagePreview() override;

    // Shows the first page of the file at `path` (nothing for an empty path),
    // with where the last job put its pages. The switch stays on the output
    // for a file that has one.
    void showFile(const QString& path, const OutputPages& output = {});
    // Where the last job put the pages of the file shown came or went.
    void setOutput(const OutputPages& output);
    // Reads the page shown again when its file (or the output shown)
    // changed on disk since it was read.
    void reload();

    const QString& path() const { return m_path; }
    int pageIndex() const { return m_page; }
    // The pages of the file shown; 0 until they are known.
    int pageCount() const { return m_pageCount; }
    bool showsOutput() const { return m_showOutput; }
    // Whether a page is being read.
    bool isReading() const { return m_reading; }

    void showPage(int page);
    void setShowsOutput(bool output);
    void setZoom(PreviewZoom zoom);

    PageView* view() const { return m_view; }
    QToolButton* sourceButton() const { return m_source; }
    QToolButton* outputButton() const { return m_output; }
    QToolButton* previousButton() const { return m_previous; }
    QToolButton* nextButton() const { return m_next; }
    QToolButton* fitButton() const { return m_fit; }
    QToolButton* actualSizeButton() const { return m_actualSize; }
    QLabel* pageLabel() const { return m_pageLabel; }
    // The page's size and resolution, and which file and page it is.
    ElidedLabel* factsLabel() const { return m_factsLabel; }
    ElidedLabel* whereLabel() const { return m_whereLabel; }

signals:
    // A picture or a message took the place of what was shown.
    void pageShown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void request();
    void take(PagePicture picture, int listedPages);
    void showReading();
    void updateControls();
    void describe(const PagePicture* picture);
    QString fileShown() const;

    PreviewLoader* m_loader;
    PageView* m_view;
    QToolButton* m_source;
    QToolButton* m_output;
    QToolButton* m_previous;
    QToolButton* m_next;
    QToolButton* m_fit;
    QToolButton* m_actualSize;
    QLabel* m_pageLabel;
    ElidedLabel* m_factsLabel;
    ElidedLabel* m_whereLabel;
    QTimer m_viewSettled; // a size or scroll position held a moment
    QTimer m_slowReading; // a page long in coming says so

    QString m_path;
    OutputPages m_outputPages;
    QString m_stamp; // the size and time of the file read last
    int m_page = 0;
    int m_pageCount = 0;
    bool m_showOutput = false;
    bool m_reading = false;
    bool m_wanted = false; // a page to show while the pane was hidden
};

} // namespace pagesmith
