#include "shell/placedwindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

Rect toRect(const QRect &r)
{
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

// Only the xcb platform's windows are X windows: the offscreen platform may
// offer an X11 interface too, with a connection its windows are not on.
xcb_connection_t *xConnection(const QWidget &window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window.testAttribute(Qt::WA_WState_Created))
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window manager's frame around the client area, in device pixels:
// left, right, top, bottom; none without a window manager.
std::array<int, 4> frameExtents(xcb_connection_t *connection, xcb_window_t id)
{
    std::array<int, 4> extents{};
    const xcb_atom_t atom = internAtom(connection, "_NET_FRAME_EXTENTS");
    if (atom == XCB_ATOM_NONE)
        return extents;
    const ReplyPtr<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, id, atom, XCB_ATOM_CARDINAL, 0, 4),
                               nullptr),
        &std::free);
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == 16) {
        const auto *values = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
        for (std::size_t i = 0; i < extents.size(); ++i)
            extents[i] = static_cast<int>(values[i]);
    }
    return extents;
}

// The server counts device pixels, Qt's geometry (and every rectangle the
// slide, the grow-back and the pin compare) logical ones: under a desktop
// scale they differ by the window's device pixel ratio, counted from the
// screen's origin, which both share.
struct PixelScale {
    qreal ratio = 1;
    QPoint origin;

    explicit PixelScale(const QWidget &window) : ratio(window.devicePixelRatioF())
    {
        if (const QScreen *screen = window.screen())
            origin = screen->geometry().topLeft();
    }
    int logicalX(int device) const { return origin.x() + qRound((device - origin.x()) / ratio); }
    int logicalY(int device) const { return origin.y() + qRound((device - origin.y()) / ratio); }
    int deviceX(int logical) const { return origin.x() + qRound((logical - origin.x()) * ratio); }
    int deviceY(int logical) const { return origin.y() + qRound((logical - origin.y()) * ratio); }
};

} // namespace

Rect placedWindowRect(const QWidget &window)
{
    xcb_connection_t *connection = xConnection(window);
    if (!connection)
        return toRect(window.frameGeometry());

    // The client area as the server has it, then the window manager's frame
    // around it, all in device pixels, and only then the one conversion.
    const auto id = static_cast<xcb_window_t>(window.winId());
    const ReplyPtr<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    if (!size)
        return toRect(window.frameGeometry());
    const ReplyPtr<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, id, size->root, 0, 0),
                                        nullptr),
        &std::free);
    if (!origin)
        return toRect(window.frameGeometry());
    const auto [left, right, top, bottom] = frameExtents(connection, id);
    const PixelScale scale(window);
    return {scale.logicalX(origin->dst_x - left), scale.logicalY(origin->dst_y - top),
            scale.logicalX(origin->dst_x + size->width + right),
            scale.logicalY(origin->dst_y + size->height + bottom)};
}

bool placeWindowRect(QWidget &window, const Rect &rect)
{
    xcb_connection_t *connection = xConnection(window);
    const PixelScale scale(window);
    // Unscaled, Qt's own request is exact.
    if (!connection || scale.ratio == 1)
        return false;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const auto [left, right, top, bottom] = frameExtents(connection, id);
    const int x = scale.deviceX(rect.left);
    const int y = scale.deviceY(rect.top);
    const int width = std::max(1, scale.deviceX(rect.right) - x - left - right);
    const int height = std::max(1, scale.deviceY(rect.bottom) - y - top - bottom);

    // The size is fixed, as Qt fixes it, but in device pixels Qt's rounding
    // of a logical size may miss by one; the position is the frame's corner.
    enum : std::uint32_t { USPosition = 1, USSize = 2, PMinSize = 16, PMaxSize = 32, PWinGravity = 512 };
    std::array<std::uint32_t, 18> hints{};
    hints[0] = USPosition | USSize | PMinSize | PMaxSize | PWinGravity;
    hints[1] = static_cast<std::uint32_t>(x);
    hints[2] = static_cast<std::uint32_t>(y);
    hints[3] = hints[5] = hints[7] = static_cast<std::uint32_t>(width);
    hints[4] = hints[6] = hints[8] = static_cast<std::uint32_t>(height);
    hints[17] = XCB_GRAVITY_NORTH_WEST;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                        static_cast<std::uint32_t>(hints.size()), hints.data());
    const std::array<std::uint32_t, 4> values{static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                              static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    xcb_configure_window(connection, id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                             | XCB_CONFIG_WINDOW_HEIGHT,
                         values.data());
    xcb_flush(connection);
    return true;
}
