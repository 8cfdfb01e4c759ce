#include "support/XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace tallymark::testing {

namespace {

QString WindowTitle(Display* display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QString title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success
        && data) {
        title = QString::fromUtf8(reinterpret_cast<const char*>(data), int(count));
    }
    if (data)
        XFree(data);
    return title;
}

bool Viewable(Display* display, Window window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Windows come and go while the tests look at them: one that is gone between listing and
// asking is no error of the test's, and Xlib's own handler would end the process.
int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

XSession::XSession()
{
    display_ = XOpenDisplay(nullptr);
    XSetErrorHandler(IgnoreErrors);
}

XSession::~XSession()
{
    if (display_)
        XCloseDisplay(display_);
}

std::optional<unsigned long> XSession::Find(const QString& title)
{
    Window root = DefaultRootWindow(display_), parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::optional<unsigned long> found;
    if (XQueryTree(display_, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            if (Viewable(display_, children[i]) && WindowTitle(display_, children[i]) == title)
                found = children[i];
        if (children)
            XFree(children);
    }
    return found;
}

std::optional<unsigned long> XSession::WaitForWindow(const QString& title, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        if (auto window = Find(title))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

bool XSession::WaitForWindowGone(const QString& title, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        if (!Find(title))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

QRect XSession::Geometry(unsigned long window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window, &attributes))
        return {};
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return QRect(x, y, attributes.width, attributes.height);
}

std::optional<std::vector<unsigned long>> XSession::Pixels(unsigned long window, std::span<const QPoint> points)
{
    QRect area;
    for (const QPoint& point : points)
        area |= QRect(point, QSize(1, 1));
    XImage* image = XGetImage(display_, window, area.x(), area.y(), unsigned(area.width()), unsigned(area.height()),
                              AllPlanes, ZPixmap);
    if (!image)
        return std::nullopt;
    std::vector<unsigned long> pixels;
    for (const QPoint& point : points)
        pixels.push_back(XGetPixel(image, point.x() - area.x(), point.y() - area.y()));
    XDestroyImage(image);
    return pixels;
}

void XSession::Click(unsigned long window, QPoint point, unsigned button)
{
    const QRect geometry = Geometry(window);
    XTestFakeMotionEvent(display_, -1, geometry.x() + point.x(), geometry.y() + point.y(), CurrentTime);
    Sync();
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    Sync();
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    Sync();
}

void XSession::MovePointer(unsigned long window, QPoint point)
{
    const QRect geometry = Geometry(window);
    XTestFakeMotionEvent(display_, -1, geometry.x() + point.x(), geometry.y() + point.y(), CurrentTime);
    Sync();
}

void XSession::Key(unsigned long window, const char* keysym)
{
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    Sync();
    std::string_view name(keysym);
    KeyCode held = 0;
    for (const auto& [prefix, modifier] : {std::pair{"Shift+", "Shift_L"}, std::pair{"Alt+", "Alt_L"}})
        if (name.starts_with(prefix)) {
            name.remove_prefix(std::string_view(prefix).size());
            held = XKeysymToKeycode(display_, XStringToKeysym(modifier));
        }
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(std::string(name).c_str()));
    if (held)
        XTestFakeKeyEvent(display_, held, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    Sync();
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (held)
        XTestFakeKeyEvent(display_, held, False, CurrentTime);
    Sync();
}

std::optional<QRect> XSession::WaitForPopup(unsigned long window, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        Window root = DefaultRootWindow(display_), parent = 0, *children = nullptr;
        unsigned int count = 0;
        std::optional<QRect> found;
        if (XQueryTree(display_, root, &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count && !found; ++i) {
                XWindowAttributes attributes{};
                if (children[i] != window && XGetWindowAttributes(display_, children[i], &attributes)
                    && attributes.map_state == IsViewable && attributes.override_redirect)
                    found = Geometry(children[i]);
            }
            if (children)
                XFree(children);
        }
        if (found)
            return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

void XSession::RequestClose(unsigned long window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    Sync();
}

void XSession::Sync()
{
    XSync(display_, False);
}

} // namespace tallymark::testing
