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
    const QPolygonF& line = overlay_.line;
    if (line.isEmpty()) {
        return;
    }
    QPen lit(kOverlayColor, 1);
    QPen dark = lit;
    // One pixel in three, as the surface draws a dark segment.
    dark.setDashPattern({1, 2});
    // Runs of lit segments as one line each, so that their joins are drawn as before.
    qsizetype from = 0;
    for (qsizetype i = 1; i <= line.size(); ++i) {
        const bool jump = i < line.size() && std::size_t(i) < overlay_.dark.size() &&
                          overlay_.dark[std::size_t(i)];
        if (jump || i == line.size()) {
            p.setPen(lit);
            p.drawPolyline(line.constData() + from, int(i - from));
            if (jump) {
                p.setPen(dark);
                p.drawLine(line[i - 1], line[i]);
            }
            from = i;
        }
    }
}

void SurfaceWidget::setOverlay(const Overlay& overlay) {
    overlay_ = overlay;
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
