// The drawing surface on screen. It only shows the editor's surface image, one logical pixel
// per image pixel, and passes presses, moves and releases to the editor. While a button is
// held the widget keeps the mouse, so moves and the release arrive from outside as well.
#pragma once

#include <QWidget>

#include "editor/editor.h"

namespace editor {

class SurfaceWidget : public QWidget {
    Q_OBJECT
  public:
    SurfaceWidget(QWidget* parent, Editor& editor);

  Q_SIGNALS:
    // A right click has been handled by the editor; the popup menu belongs here.
    void rightClicked(const QPoint& globalPos);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Editor& editor_;
};

}  // namespace editor
