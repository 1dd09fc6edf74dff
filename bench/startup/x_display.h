#pragma once

// A private X server (Xvfb) for a benchmark, and what the benchmark reads from it: the
// top-level windows by title.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace bench {

class XServer {
 public:
  // Starts Xvfb on the first free display number from 90 on; Display() is empty when it did
  // not come up within five seconds.
  XServer() {
    int number = 90;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
           std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
      ++number;
    }
    const std::string name = ":" + std::to_string(number);
    pid_ = fork();
    if (pid_ == 0) {
      execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1600x900x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      std::_Exit(127);
    }
    for (int i = 0; i < 100 && !connection_; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      connection_ = XOpenDisplay(name.c_str());
    }
    if (connection_) display_ = name;
  }
  ~XServer() {
    if (connection_) XCloseDisplay(connection_);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  const std::string& Display() const { return display_; }

  // A viewable top-level window (a child of the root, as there is no window manager) whose
  // title is `title`; 0 when there is none.
  Window FindViewable(const std::string& title) {
    Window root = DefaultRootWindow(connection_), parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(connection_, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(connection_, children[i], &attributes) ||
          attributes.map_state != IsViewable) {
        continue;
      }
      if (Title(children[i]) == title) found = children[i];
    }
    if (children) XFree(children);
    return found;
  }

 private:
  std::string Title(Window window) {
    const Atom name = XInternAtom(connection_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(connection_, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(connection_, window, name, 0, 1024, False, utf8, &type, &format, &items,
                           &after, &data) == Success &&
        data) {
      title.assign(reinterpret_cast<char*>(data), items);
      XFree(data);
    }
    return title;
  }

  pid_t pid_ = -1;
  ::Display* connection_ = nullptr;
  std::string display_;
};

}  // namespace bench
