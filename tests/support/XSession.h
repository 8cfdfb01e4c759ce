#pragma once
// Drives real top-level windows on an X server as an operator would: finds a window by its
// title, clicks at a point of its client area, presses keys, and asks it to close as a
// window manager's close box does. For end-to-end tests under Xvfb.

#include <QPoint>
#include <QRect>
#include <QString>

#include <chrono>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

struct _XDisplay;

namespace tallymark::testing {

class XSession {
public:
    XSession(); // connects to $DISPLAY
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool IsConnected() const { return display_ != nullptr; }

    // The first viewable top-level window whose title is `title`, waiting up to `timeout`.
    std::optional<unsigned long> WaitForWindow(const QString& title, std::chrono::milliseconds timeout);
    // True once no viewable window has `title`, waiting up to `timeout`.
    bool WaitForWindowGone(const QString& title, std::chrono::milliseconds timeout);

    // The client area on the screen, in pixels.
    QRect Geometry(unsigned long window);

    // The pixel values at `points` of the window's client area, as one capture of the screen
    // shows them, so that no paint comes between them.
    std::optional<std::vector<unsigned long>> Pixels(unsigned long window, std::span<const QPoint> points);

    // A left click at `point` of the window's client area; button 4 or 5 turns the wheel up or down.
    void Click(unsigned long window, QPoint point, unsigned button = 1);
    // The pointer comes to rest at `point` of the window's client area, pressing nothing.
    void MovePointer(unsigned long window, QPoint point);
    // A press and release of a key given as an X keysym name ("Escape", "Return", "n"),
    // after "Shift+" or "Alt+" where the key is to be held with one, typed into `window`.
    // With no window manager to do it, the window is given the focus.
    void Key(unsigned long window, const char* keysym);
    // Where a drop-down list or another popup of a program shows, besides `window`, waiting
    // up to `timeout`.
    std::optional<QRect> WaitForPopup(unsigned long window, std::chrono::milliseconds timeout);
    // Drags UTF-8 `text` from a window of its own and drops it at `point` of the window's client
    // area (XDND), as a text editor drops a selection: whether the window took it, refused it
    // there, or said nothing within 5 s.
    enum class Drop { Taken, Refused, Unanswered };
    Drop DropText(unsigned long window, QPoint point, std::string_view text);
    // WM_DELETE_WINDOW, as a window manager sends it for the close box.
    void RequestClose(unsigned long window);

private:
    std::optional<unsigned long> Find(const QString& title);
    void Sync();

    ::_XDisplay* display_ = nullptr;
};

} // namespace tallymark::testing
