// Giving bitmaps' drawing contexts back after every message, whichever loop dispatched it.
// The program's own loops do it after each message; a loop of the system's (a system
// dialog's, a message box's) dispatches messages to the framework's windows with no step
// of the program after them, so the window procedure that ends such a message does it.
#pragma once

// Held by the framework's window procedure while it handles a message: when it ends the
// outermost message of the running modal loop, the contexts go.
class WindowMessageLevel {
public:
    WindowMessageLevel();
    ~WindowMessageLevel();
    WindowMessageLevel(const WindowMessageLevel&) = delete;
    WindowMessageLevel& operator=(const WindowMessageLevel&) = delete;
};

// Held while a modal loop runs inside a message (the program's windows are disabled): the
// messages that loop dispatches count as outermost.
class ModalLoopLevel {
public:
    ModalLoopLevel();
    ~ModalLoopLevel();
    ModalLoopLevel(const ModalLoopLevel&) = delete;
    ModalLoopLevel& operator=(const ModalLoopLevel&) = delete;

private:
    int saved_;
};
