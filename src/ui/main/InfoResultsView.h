#pragma once

#include "ui/main/InfoPageSink.h"

#include <QFrame>

#include <array>
#include <string>

class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace pagesmith {

class FlatTabStrip;

// The lower right pane of the main window: one text area with two pages,
// "Tiff Info" (0) and "Results" (1), chosen by flat tabs along its bottom edge
// beside a horizontal scroll bar that moves the text sideways. Each page keeps
// its own text; the text area shows the selected page's text. What the user
// types changes only the text area, never a page. The page operations may be
// called from any thread: they run on the window's thread while the caller
// waits. Any page other than 0 and 1 is ignored. The text area takes no tab
// characters: Tab moves on to the next control, as everywhere else. After a
// job the "Results" page offers to open its save folder.
class InfoResultsView : public QFrame, public InfoPageSink {
    Q_OBJECT

public:
    explicit InfoResultsView(QWidget* parent = nullptr);

    // Selects page's tab and shows that page's text.
    void showPage(int page) override;
    // Empties the page's text and the text area.
    void clearPage(int page) override;
    // Adds text at the end of the page; on the shown page also at the end of
    // the text area.
    void appendToPage(int page, const std::string& text) override;
    // A copy of the page's text.
    std::string paneText(int page) const;
    // Replaces the page's text; the text area follows when it shows the page,
    // and the tabs stay as they are.
    void replacePage(int page, const std::string& text);

    // The "Results" page's button that opens a job's save folder; an empty
    // folder takes the offer back. It shows while "Results" is the page shown.
    void offerSaveFolder(const QString& folder);
    QPushButton* openSaveFolderButton() const { return m_openSaveFolder; }

    int currentPage() const;
    QPlainTextEdit* textArea() const { return m_text; }
    FlatTabStrip* tabStrip() const { return m_tabs; }
    QScrollBar* sideScrollBar() const { return m_sideBar; }

    // A fixed-pitch font whose lines are at most 15 pixels high.
    static QFont textFont();

signals:
    void openSaveFolderRequested(const QString& folder);

private:
    void showPageText(int page);
    void scrollTextSideways(int value);
    void followTextScroll();
    void showSaveFolderOffer();

    std::array<std::string, 2> m_pages;
    QPlainTextEdit* m_text;
    FlatTabStrip* m_tabs;
    QScrollBar* m_sideBar;
    QPushButton* m_openSaveFolder;
    QString m_saveFolder;
    bool m_movingText = false;
};

} // namespace pagesmith
