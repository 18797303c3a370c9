// The main window as the picture commands see it: its editor, dialogs, buttons and menu items.
#pragma once

#include <QAction>
#include <QString>

#include "editor/editor.h"
#include "widgets/speed_button.h"
#include "window/dialogs.h"

namespace window {

// What the picture commands need from the window around them.
class PictureWindow {
  public:
    virtual ~PictureWindow() = default;
    virtual editor::Editor& editor() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual widgets::SpeedButton* button(const QString& name) const = 0;
    virtual QAction* action(const QString& name) const = 0;
};

}  // namespace window
