// The drawing surface on screen. It only shows the editor's surface image, one logical pixel
// per image pixel, and passes presses, moves and releases to the editor. While a button is
// held the widget keeps the mouse, so moves and the release arrive from outside as well.
// The popup menu opens from the widget's own right release, once the tool has had it: the
// platform's context-menu request (sent on the press on X11, on the release elsewhere) is
// taken here and dropped, so it can neither open the menu early nor pass to the window.
#pragma once

#include <QPolygonF>
#include <QWidget>
#include <optional>
#include <vector>

#include "editor/editor.h"

namespace window {

// A preview over the surface: the line through its points (surface positions), and for each
// point whether the segment into it is dark, a jump, which is drawn dotted as the surface draws
// jumps. Without flags every segment is lit.
struct Overlay {
    QPolygonF line;
    std::vector<bool> dark;
};

class SurfaceWidget : public QWidget {
    Q_OBJECT
  public:
    SurfaceWidget(QWidget* parent, editor::Editor& editor);

    // A line drawn over the surface in a colour of its own, as a preview of what a command
    // would make; an empty line removes it. Positions are surface pixels.
    void setOverlay(const Overlay& overlay);
    const QPolygonF& overlay() const { return overlay_.line; }
    // Where the left button last pressed on the surface (surface pixels), if it has.
    std::optional<QPoint> lastClick() const { return lastClick_; }

  Q_SIGNALS:
    // A right click has been handled by the editor; the popup menu belongs here.
    void rightClicked(const QPoint& globalPos);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    editor::Editor& editor_;
    Overlay overlay_;
    std::optional<QPoint> lastClick_;
};

}  // namespace window
