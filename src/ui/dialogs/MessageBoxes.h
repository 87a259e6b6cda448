#pragma once

#include <QString>

class QWidget;

namespace pagesmith {

// Message boxes a window shows over itself. Windows take them as an interface
// so that tests record the boxes instead of waiting for a click.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // A box with the text and one OK button, modal over owner; returns once
    // the user has dismissed it.
    virtual void showOk(QWidget* owner, const QString& caption, const QString& text) = 0;
};

class PlatformMessageBoxes final : public MessageBoxes {
public:
    void showOk(QWidget* owner, const QString& caption, const QString& text) override;
};

MessageBoxes& platformMessageBoxes();

} // namespace pagesmith
