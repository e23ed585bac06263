#pragma once

#include <QMargins>
#include <optional>

class QWindow;

// The window manager's frame around a window, as it says it now. Toolkits may
// learn of the frame late or keep an old answer; centring on the screen needs the
// present one. Nothing where the platform cannot tell.
std::optional<QMargins> frameExtents(const QWindow *window);
