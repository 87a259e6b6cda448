#pragma once

#include <QMainWindow>

namespace pagesmith {

// The one top-level window of window mode.
class MainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit MainFrame(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace pagesmith
