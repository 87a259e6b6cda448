#pragma once

#include <QDialog>

namespace pagesmith {

class HyperLinkLabel;

// The modal box of Help > About: the program's icon, name and version, and the
// links to the maker's web site, order page and e-mail address; its Details
// button shows the licences and the libraries' versions. Enter closes it
// as accepted, Esc and the close box as rejected, and a click on its surface
// (anywhere but on a link or a button) with the result 0.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // Link ids, in the order the links are laid out.
    enum Link { WebSite = 1005, OrderInfo = 1006, EMail = 1019 };

    explicit AboutDialog(QWidget* parent = nullptr);

    HyperLinkLabel* link(Link id) const;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace pagesmith
