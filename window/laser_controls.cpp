#include "window/laser_controls.h"

#include "window/laser_window.h"
#include "window/output_memory.h"
#include "window/preview_commands.h"
#include "window/stop_key.h"

namespace window {

LaserControls::LaserControls(editor::Editor& editor, std::function<void(const QString&)> say)
    : editor_(editor), say_(std::move(say)), stopKey_(std::make_unique<StopKey>([this] {
          if (window_) {
              window_->StopOutput();
          }
      })) {}

LaserControls::~LaserControls() = default;

void LaserControls::Open() {
    if (!window_) {
        window_ = std::make_unique<LaserWindow>(editor_, say_);
        window_->setAddress(address_);
        QObject::connect(window_.get(), &LaserWindow::Started, window_.get(),
                         [this] { Remember(); });
    }
    ShowWindow(window_.get());
}

void LaserControls::Keep(const QString& path) {
    path_ = path;
    const OutputMemory kept = ReadOutputMemory(path);
    editor_.document().output().set(kept.stage);
    address_ = kept.address;
    if (window_) {
        window_->setAddress(address_);
    }
}

void LaserControls::Remember() {
    if (path_.isEmpty()) {
        return;
    }
    if (window_) {
        address_ = window_->address();
    }
    const OutputMemory now{address_, editor_.document().output().get()};
    if (now != ReadOutputMemory(path_)) {
        WriteOutputMemory(path_, now);
    }
}

}  // namespace window
