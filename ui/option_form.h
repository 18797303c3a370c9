// The settings window: edits the editor's colours and sizes live. Closing it only hides it.
#pragma once

#include <QWidget>

#include "editor/settings.h"

namespace ui {

class TOptionForm : public QWidget {
    Q_OBJECT
  public:
    TOptionForm(editor::EditorSettings& settings, QWidget* parent = nullptr);

    editor::EditorSettings& settings() { return settings_; }

  private:
    editor::EditorSettings& settings_;
};

}  // namespace ui
