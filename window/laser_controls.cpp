#include "window/laser_controls.h"

#include "window/laser_window.h"
#include "window/output_memory.h"
#include "window/preview_commands.h"
#include "window/stop_key.h"

#include <QCoreApplication>

namespace window {

LaserControls::LaserControls(editor::Editor& editor,
                             std::function<void(const QString&, const QString&)> notice,
                             std::function<void(bool)> lit)
    : editor_(editor),
      notice_(std::move(notice)),
      lit_(std::move(lit)),
      stopKey_(std::make_unique<StopKey>([this] {
          if (window_) {
              window_->StopOutput();
          }
      })) {}

LaserControls::~LaserControls() = default;

bool LaserControls::Running() const {
    return window_ && window_->Running();
}

void LaserControls::Open() {
    if (!window_) {
        // The status bar's panel is narrow: it says whether the beam is on, and its hint says
        // the rest.
        window_ = std::make_unique<LaserWindow>(editor_, [this](const QString& text) {
            notice_(window_ && window_->Running()
                        ? QCoreApplication::translate("window", "Лазер включён")
                        : QCoreApplication::translate("window", "Лазер выключен"),
                    text);
        });
        window_->setAddress(address_);
        QObject::connect(window_.get(), &LaserWindow::Started, window_.get(),
                         [this] { Remember(); });
        QObject::connect(window_.get(), &LaserWindow::RunningChanged, window_.get(),
                         [this](bool running) { lit_(running); });
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
