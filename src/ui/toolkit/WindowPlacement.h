#pragma once

#include <QRect>

#include <optional>

class QWidget;

namespace pagesmith {

// Where a window of the given size goes: its centre on the centre of the
// owner's frame, or of the work area when there is no owner to be seen; then
// moved back inside the work area wherever it would stick out (the left and
// top edges win when it is larger than the work area).
QRect centredInside(const QSize& size, const std::optional<QRect>& ownerFrame,
                    const QRect& workArea);

// Moves a top-level window that way over its owner (hidden or minimised owners
// count as none), within the available geometry of the owner's screen. The
// size is not changed.
void centreOverOwner(QWidget* window, const QWidget* owner);

} // namespace pagesmith
