#include "frameextents.h"

#include <QGuiApplication>
#include <QWindow>

#ifdef VESNOR_X11
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

// X11: the _NET_FRAME_EXTENTS property, read from the server each time.
std::optional<QMargins> frameExtents(const QWindow *window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->handle())
        return std::nullopt;
    const auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    constexpr char kName[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, std::strlen(kName), kName), nullptr);
    if (!atom)
        return std::nullopt;
    const xcb_atom_t extents = atom->atom;
    std::free(atom);
    if (extents == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection,
        xcb_get_property(
            connection, 0, xcb_window_t(window->winId()), extents, XCB_ATOM_CARDINAL, 0, 4),
        nullptr);
    std::optional<QMargins> result;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        const auto *v = static_cast<const std::uint32_t *>(xcb_get_property_value(reply));
        // The property counts the screen's pixels; the window's geometry counts
        // device-independent ones, fewer where Qt scales (QT_SCALE_FACTOR=2).
        const qreal ratio = window->devicePixelRatio();
        const auto scaled = [ratio](std::uint32_t native) { return qRound(native / ratio); };
        result = QMargins(scaled(v[0]), scaled(v[2]), scaled(v[1]), scaled(v[3])); // l, t, r, b
    }
    std::free(reply);
    return result;
}
#else
std::optional<QMargins> frameExtents(const QWindow *window)
{
    if (!window->handle())
        return std::nullopt;
    const QMargins margins = window->frameMargins();
    if (margins.isNull())
        return std::nullopt;
    return margins;
}
#endif
