#include "window/surface_widget.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <optional>

namespace window {

namespace {

const QColor kOverlayColor(230, 0, 170);

std::optional<editor::MouseButton> ToButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return editor::MouseButton::Left;
        case Qt::RightButton:
            return editor::MouseButton::Right;
        case Qt::MiddleButton:
            return editor::MouseButton::Middle;
        default:
            return std::nullopt;
    }
}

QPoint Pixel(const QMouseEvent* e) {
    const QPointF p = e->position();
    return {int(std::floor(p.x())), int(std::floor(p.y()))};
}

}  // namespace

SurfaceWidget::SurfaceWidget(QWidget* parent, editor::Editor& editor)
    : QWidget(parent), editor_(editor) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(editor::kSurfaceWidth, editor::kSurfaceHeight);
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r, editor_.canvas().image(), r);
    if (!overlay_.isEmpty()) {
        p.setPen(QPen(kOverlayColor, 1));
        p.drawPolyline(overlay_);
    }
}

void SurfaceWidget::setOverlay(const QPolygonF& line) {
    overlay_ = line;
    update();
}

void SurfaceWidget::mousePressEvent(QMouseEvent* event) {
    if (const auto b = ToButton(event->button())) {
        const QPoint p = Pixel(event);
        if (*b == editor::MouseButton::Left) {
            lastClick_ = QPoint(editor::Editor::Clamp(p.x()), editor::Editor::Clamp(p.y()));
        }
        editor_.PaintBoxVardeniMouseDown(*b, p.x(), p.y());
    }
}

void SurfaceWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = Pixel(event);
    editor_.PaintBoxVardeniMouseMove(p.x(), p.y());
}

void SurfaceWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (const auto b = ToButton(event->button())) {
        const QPoint p = Pixel(event);
        editor_.PaintBoxVardeniMouseUp(*b, p.x(), p.y());
        // Only a right click on its own opens the menu: with another button still held the
        // menu's grab would take that button's release from the tool.
        if (*b == editor::MouseButton::Right && event->buttons() == Qt::NoButton) {
            Q_EMIT rightClicked(event->globalPosition().toPoint());
        }
    }
}

void SurfaceWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
    } else {
        event->ignore();  // the menu key: the window opens the menu as usual
    }
}

}  // namespace window
