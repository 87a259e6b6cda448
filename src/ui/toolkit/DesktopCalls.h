#pragma once

#include <QString>

class QWidget;

namespace pagesmith {

// What the window asks of the desktop it runs on: open a file with its viewer
// or a folder in the file manager, show a file in its folder, and tell the
// user that something ended while they were elsewhere. Windows take these as
// an interface so that tests record the calls instead of starting programs.
class DesktopCalls {
public:
    virtual ~DesktopCalls() = default;

    // A file with the desktop's default program for it, a folder in the file
    // manager; false when nothing took it.
    virtual bool openPath(const QString& path) = 0;
    // The folder that holds path, in the file manager, with path selected
    // where the file manager can do that.
    virtual bool showInFolder(const QString& path) = 0;
    // A desktop notification; where there is none, the window asks for the
    // user's attention in the task bar.
    virtual void notify(QWidget* window, const QString& title, const QString& text) = 0;
};

class PlatformDesktopCalls final : public DesktopCalls {
public:
    bool openPath(const QString& path) override;
    bool showInFolder(const QString& path) override;
    void notify(QWidget* window, const QString& title, const QString& text) override;
};

DesktopCalls& platformDesktopCalls();

} // namespace pagesmith
