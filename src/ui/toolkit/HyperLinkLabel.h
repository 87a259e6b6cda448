#pragma once

#include <QColor>
#include <QWidget>

namespace pagesmith {

// A line of text that opens a target (a web address, a "mailto:" address) when
// clicked: drawn underlined in the link colour, in the visited colour once it
// has been opened, grey when disabled. Inside the text's rectangle the pointer
// is a hand and a tooltip names the target. A click counts when the button goes
// down and up inside that rectangle; Enter and Space open the link while it has
// the keyboard focus, which it takes from a click (it is not a tab stop).
// Screen readers see a link named by its text, described by its target, with a
// press action.
class HyperLinkLabel : public QWidget {
    Q_OBJECT

public:
    static constexpr QColor kDefaultLinkColor{0, 0, 255};
    static constexpr QColor kDefaultVisitedColor{128, 0, 128};

    explicit HyperLinkLabel(const QString& label = {}, QWidget* parent = nullptr);

    QString label() const { return m_label; }
    void setLabel(const QString& label);
    // The target; the label itself when none was set.
    QString target() const;
    void setTarget(const QString& target);

    QColor linkColor() const { return m_linkColor; }
    QColor visitedColor() const { return m_visitedColor; }
    void setLinkColors(QColor link, QColor visited);
    // The colour the text is drawn in now.
    QColor textColor() const;

    bool isVisited() const { return m_visited; }
    void setAlignment(Qt::Alignment alignment);

    // Where the text is drawn; clicks, the hand and the tooltip count only here.
    QRect labelRect() const { return m_labelRect; }

    // Opens the target through the desktop; on success the link is visited.
    bool navigate();

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFont linkFont() const;
    void computeLabelRect();

    QString m_label;
    QString m_target;
    QColor m_linkColor = kDefaultLinkColor;
    QColor m_visitedColor = kDefaultVisitedColor;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    bool m_visited = false;
    bool m_pressedInside = false;
    QRect m_labelRect;
};

} // namespace pagesmith
