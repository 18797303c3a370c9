// The about window: the program's name, version and contacts.
#pragma once

#include <QWidget>

namespace ui {

class TAboutForm : public QWidget {
    Q_OBJECT
  public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

}  // namespace ui
