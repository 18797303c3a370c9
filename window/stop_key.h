// F12 stops the output from every window of the program: the main window, the Лазер window,
// the preview, an open menu, and every dialog over them (file dialogs, message boxes, the
// text and tracing dialogs). A shortcut would not do: Qt does not look at the shortcuts of a
// window that a modal dialog covers, so the key is taken as the application receives it.
#pragma once

#include <QObject>
#include <functional>

namespace window {

class StopKey : public QObject {
  public:
    // Watches the application's keys from now until it is destroyed.
    explicit StopKey(std::function<void()> stop);
    ~StopKey() override;
    StopKey(const StopKey&) = delete;
    StopKey& operator=(const StopKey&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> stop_;
};

}  // namespace window
