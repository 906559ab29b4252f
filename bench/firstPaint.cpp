// Starts a program and prints how many milliseconds pass until its window is on the screen with
// something painted in it: the X window tree is polled without pause for a viewable window whose
// name holds the given text, and that window's pixels for more than one colour.
//   zorv-first-paint NAME PROGRAM [ARGUMENT...]

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The name's bytes are searched as they are, whatever its encoding (Qt names windows in UTF-8).
bool nameHolds(Display *display, Window window, const char *text)
{
    XTextProperty name{};
    if (!XGetWMName(display, window, &name) || !name.value)
        return false;
    const bool holds = memmem(name.value, name.nitems, text, std::strlen(text)) != nullptr;
    XFree(name.value);
    return holds;
}

bool isViewable(Display *display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// A viewable window named with text, anywhere below parent, or 0.
Window findWindow(Display *display, Window parent, const char *text)
{
    Window root = 0;
    Window up = 0;
    Window *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        if (nameHolds(display, children[i], text) && isViewable(display, children[i]))
            found = children[i];
        else
            found = findWindow(display, children[i], text);
    }
    if (children)
        XFree(children);
    return found;
}

// More than one colour: a window shows one flat colour until it is first painted.
bool isPainted(Display *display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    XImage *image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool painted = false;
    for (int y = 0; y < image->height && !painted; y += 2) {
        for (int x = 0; x < image->width && !painted; x += 2)
            painted = XGetPixel(image, x, y) != first;
    }
    XDestroyImage(image);
    return painted;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fputs("usage: zorv-first-paint NAME PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("zorv-first-paint: no display\n", stderr);
        return 1;
    }
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; }); // windows come and go
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    const Window root = DefaultRootWindow(display);
    double ms = -1;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
        const Window window = findWindow(display, root, argv[1]);
        if (window && isPainted(display, window)) {
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count();
            break;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    if (ms < 0)
        return 1;
    std::printf("%.1f\n", ms);
    return 0;
}
