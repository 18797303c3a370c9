// The laser preview: its window, opened from the toolbar and the "Правка" menu, created on
// first use and only hidden when closed.
#pragma once

#include "window/command_window.h"

class QWidget;

namespace window {

class PreviewCommands {
  public:
    // The preview is a top-level window owned by the main window, placed beside it.
    explicit PreviewCommands(CommandWindow& window);
    void SpeedButtonPreviewClick();

  private:
    CommandWindow& window_;
    QWidget* preview_ = nullptr;
};

// Shows a secondary window and brings it to the front; nothing for none.
void ShowWindow(QWidget* w);

}  // namespace window
