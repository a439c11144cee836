#include "shell/placedwindow.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

Rect toRect(const QRect &r)
{
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

} // namespace

Rect placedWindowRect(const QWidget &window)
{
    const QRect frame = window.frameGeometry();
    // Only the xcb platform's windows are X windows: the offscreen platform
    // may offer an X11 interface too, with a connection its windows are not on.
    const auto *x11 = QGuiApplication::platformName() == QLatin1String("xcb")
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection || !window.testAttribute(Qt::WA_WState_Created))
        return toRect(frame);

    // The client area as the server has it, then the window manager's frame
    // around it with the extents Qt has read from the window manager.
    const auto id = static_cast<xcb_window_t>(window.winId());
    const ReplyPtr<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    if (!size)
        return toRect(frame);
    const ReplyPtr<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, id, size->root, 0, 0),
                                        nullptr),
        &std::free);
    if (!origin)
        return toRect(frame);
    const QRect client = window.geometry();
    return {origin->dst_x - (client.left() - frame.left()), origin->dst_y - (client.top() - frame.top()),
            origin->dst_x + size->width + (frame.right() - client.right()),
            origin->dst_y + size->height + (frame.bottom() - client.bottom())};
}
