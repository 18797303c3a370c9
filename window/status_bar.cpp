#include "window/status_bar.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace window {

StatusBar::StatusBar(QWidget* parent, std::vector<Panel> panels)
    : QWidget(parent), panels_(std::move(panels)) {}

QString StatusBar::panelText(int index) const {
    return (index >= 0 && index < panelCount()) ? panels_[size_t(index)].text : QString();
}

void StatusBar::setPanelText(int index, const QString& text) {
    if (index < 0 || index >= panelCount() || panels_[size_t(index)].text == text) {
        return;
    }
    panels_[size_t(index)].text = text;
    update(panelRect(index));
}

QRect StatusBar::panelRect(int index) const {
    int x = 0;
    for (int i = 0; i < index; ++i) {
        x += panels_[size_t(i)].width;
    }
    const bool last = index == panelCount() - 1;
    const int w =
        last ? std::max(width() - x, panels_[size_t(index)].width) : panels_[size_t(index)].width;
    return {x, 0, w, height()};
}

void StatusBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    for (int i = 0; i < panelCount(); ++i) {
        const QRect r = panelRect(i).adjusted(0, 2, -2, 0);
        // A lowered panel: dark top and left edges, light bottom and right edges.
        p.setPen(shadow);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r.adjusted(2, 1, -1, -1), int(panels_[size_t(i)].alignment | Qt::AlignVCenter),
                   panels_[size_t(i)].text);
    }
}

}  // namespace window
