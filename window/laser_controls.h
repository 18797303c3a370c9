// The main window's side of live output: the Лазер window, made on first use and a window of
// its own (a dialog over the main window never blocks its Стоп); F12, which stops the output
// from every window of the program; the device and the output settings kept between runs.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "editor/editor.h"

namespace window {

class LaserWindow;
class StopKey;

class LaserControls {
  public:
    // `notice` puts a short text in the main window's status bar, with the whole line as its
    // hint; `lit` shows in the main window whether the output runs.
    LaserControls(editor::Editor& editor,
                  std::function<void(const QString& text, const QString& hint)> notice,
                  std::function<void(bool running)> lit);
    ~LaserControls();
    LaserControls(const LaserControls&) = delete;
    LaserControls& operator=(const LaserControls&) = delete;

    LaserWindow* window() const { return window_.get(); }
    // Whether the output runs.
    bool Running() const;
    // Shows the Лазер window, making it the first time.
    void Open();
    // Takes the device and the settings from `path` now, and keeps them there whenever output
    // starts and when Remember is called.
    void Keep(const QString& path);
    void Remember();

  private:
    editor::Editor& editor_;
    std::function<void(const QString&, const QString&)> notice_;
    std::function<void(bool)> lit_;
    std::unique_ptr<LaserWindow> window_;
    std::unique_ptr<StopKey> stopKey_;
    // Where the device and settings are kept (none: not kept), and the device until the
    // window is made.
    QString path_;
    QString address_;
};

}  // namespace window
