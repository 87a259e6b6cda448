#include "ui/toolkit/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace pagesmith {

namespace {

int keptInside(int start, int length, int areaStart, int areaLength) {
    if (start < areaStart)
        return areaStart;
    if (start + length > areaStart + areaLength)
        return std::max(areaStart, areaStart + areaLength - length);
    return start;
}

// A window's frame is known only once it has been shown; until then it is
// taken to be as wide as the owner's.
QSize frameSizeOf(const QWidget* window, const QWidget* ownerWindow) {
    QSize frame = window->frameGeometry().size();
    if (frame == window->size() && ownerWindow)
        frame += ownerWindow->frameGeometry().size() - ownerWindow->size();
    return frame;
}

} // namespace

QRect centredInside(const QSize& size, const std::optional<QRect>& ownerFrame,
                    const QRect& workArea) {
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(ownerFrame ? ownerFrame->center() : workArea.center());
    placed.moveLeft(keptInside(placed.left(), size.width(), workArea.left(), workArea.width()));
    placed.moveTop(keptInside(placed.top(), size.height(), workArea.top(), workArea.height()));
    return placed;
}

void centreOverOwner(QWidget* window, const QWidget* owner) {
    const QWidget* ownerWindow = owner ? owner->window() : nullptr;
    const bool ownerSeen = ownerWindow && ownerWindow->isVisible() && !ownerWindow->isMinimized();
    QScreen* screen = ownerWindow ? ownerWindow->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const std::optional<QRect> ownerFrame =
        ownerSeen ? std::optional<QRect>(ownerWindow->frameGeometry()) : std::nullopt;
    const QSize frameSize = frameSizeOf(window, ownerWindow);
    window->move(centredInside(frameSize, ownerFrame, screen->availableGeometry()).topLeft());
}

} // namespace pagesmith
