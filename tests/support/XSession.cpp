#include "support/XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <optional>
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

XSession::Drop XSession::DropText(unsigned long window, QPoint point, std::string_view text)
{
    const auto atom = [&](const char* name) { return XInternAtom(display_, name, False); };
    const Atom selection = atom("XdndSelection"), utf8 = atom("UTF8_STRING"), targets = atom("TARGETS");
    const Window source = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display_, selection, source, CurrentTime);
    const QPoint at = Geometry(window).topLeft() + point;
    XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
    const auto send = [&](const char* type, long second, long third, long fifth) {
        XEvent event{};
        event.xclient = {ClientMessage, 0, True, display_, window, atom(type), 32, {}};
        event.xclient.data.l[0] = long(source);
        event.xclient.data.l[1] = second;
        event.xclient.data.l[2] = third;
        event.xclient.data.l[4] = fifth;
        XSendEvent(display_, window, False, NoEventMask, &event);
        XFlush(display_);
    };
    // The protocol's version is the lower of the two sides'; the text comes in one form.
    long version = 5;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* aware = nullptr;
    if (XGetWindowProperty(display_, window, atom("XdndAware"), 0, 1, False, XA_ATOM, &type, &format, &count, &after,
                           &aware) == Success && aware && count == 1)
        version = std::min(version, *reinterpret_cast<long*>(aware));
    if (aware)
        XFree(aware);
    // The pointer comes into the box from the left and stops at the point, as a drag does. The
    // drop goes with the second answer: Wine 10 answers each position with what the window
    // said of the one before.
    const auto moveTo = [&](int x) { send("XdndPosition", 0, (long(x) << 16) | at.y(), long(atom("XdndActionCopy"))); };
    send("XdndEnter", version << 24, long(utf8), 0);
    moveTo(at.x() - 8);
    int answers = 0;
    bool dropped = false;
    std::optional<Drop> outcome;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!outcome && std::chrono::steady_clock::now() < deadline) {
        if (!XPending(display_)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == SelectionRequest) {
            // The window asks for the text, or which forms of it there are.
            const XSelectionRequestEvent& request = event.xselectionrequest;
            XEvent reply{};
            reply.xselection = {SelectionNotify, 0, True, display_, request.requestor, request.selection,
                                request.target, request.property, request.time};
            if (request.target == targets)
                XChangeProperty(display_, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(&utf8), 1);
            else if (request.target == utf8)
                XChangeProperty(display_, request.requestor, request.property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
            else
                reply.xselection.property = None;
            XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
            XFlush(display_);
        } else if (event.type == ClientMessage && event.xclient.message_type == atom("XdndStatus") && !dropped
                   && ++answers == 1) {
            moveTo(at.x());
        } else if (event.type == ClientMessage && event.xclient.message_type == atom("XdndStatus") && !dropped) {
            // Where the window takes it, the text is let go; where it refuses, the drag leaves.
            if (event.xclient.data.l[1] & 1) {
                send("XdndDrop", 0, CurrentTime, 0);
                dropped = true;
            } else {
                send("XdndLeave", 0, 0, 0);
                outcome = Drop::Refused;
            }
        } else if (event.type == ClientMessage && event.xclient.message_type == atom("XdndFinished")) {
            // From version 5 on, the window says whether it took the text after all.
            outcome = version < 5 || (event.xclient.data.l[1] & 1) ? Drop::Taken : Drop::Refused;
        }
    }
    XDestroyWindow(display_, source);
    Sync();
    return outcome.value_or(Drop::Unanswered);
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
