#pragma once
// The pointer and the keyboard of the X server, driven through XTest as a user would: the
// pointer moved, a click, and keys by their names ("Return", "Down"), with modifiers held.
// Header only; include it last, since the X11 headers' macros clash with names in others.
#include <initializer_list>
#include <string>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace ql::test {

class XInput {
public:
    XInput() : display_(XOpenDisplay(nullptr)) {}
    ~XInput()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;
    explicit operator bool() const { return display_ != nullptr; }

    // Moves the pointer; once this returns the server has sent the motion to the windows.
    void MoveTo(int x, int y)
    {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XSync(display_, False);
    }
    // A click where the pointer is; it should have been there a while (the toolkit routes a
    // button press by the pointer position it last handled).
    void Click()
    {
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XFlush(display_);
    }
    // Presses `key` (a keysym name) with the `held` keys ("Control_L") down.
    void Key(const char* key, std::initializer_list<const char*> held = {})
    {
        for (const char* h : held)
            Send(h, true);
        Send(key, true);
        Send(key, false);
        for (const char* h : held)
            Send(h, false);
        XFlush(display_);
    }
    // Types plain characters (letters, digits and space).
    void Type(const std::string& text)
    {
        for (char c : text) {
            const std::string name = c == ' ' ? std::string("space") : std::string(1, c);
            Key(name.c_str());
        }
    }

private:
    void Send(const char* name, bool down)
    {
        const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(name));
        XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    }
    Display* display_;
};

}  // namespace ql::test
