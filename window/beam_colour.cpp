#include "window/beam_colour.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>

#include "editor/colors.h"

namespace window {

namespace {

constexpr QSize kBeamColourSwatch(8, 17);

}  // namespace

BeamColour::BeamColour(CommandWindow& window, widgets::SpeedButton& swatch)
    : window_(window), swatch_(swatch) {
    swatch_.setIconSize(kBeamColourSwatch);
    ShowBeamColour();
}

QRgb BeamColour::beamColour() const {
    const editor::Editor& editor = window_.editor();
    const model::PointStyle pen = editor.contour().PenStyle;
    return pen.coloured ? qRgb(qRed(pen.rgb), qGreen(pen.rgb), qBlue(pen.rgb))
                        : editor::ResolveColor(editor.settings().ColorBoxLine);
}

void BeamColour::ShowBeamColour() {
    const QRgb colour = beamColour();
    if (shown_ && *shown_ == colour) {
        return;
    }
    shown_ = colour;
    // The swatch: the colour inside a dark rim.
    QPixmap swatch(kBeamColourSwatch);
    swatch.fill(QColor(0x2b, 0x3a, 0x4a));
    QPainter p(&swatch);
    p.fillRect(QRect(QPoint(1, 1), kBeamColourSwatch - QSize(2, 2)), QColor::fromRgb(colour));
    p.end();
    swatch_.setIcon(QIcon(swatch));
}

void BeamColour::SpeedButtonBeamColourClick() {
    model::PointStyle& pen = window_.editor().contour().PenStyle;
    BeamColourRequest request;
    request.title = QCoreApplication::translate("window::BeamColour", "Цвет луча");
    request.isDefault = !pen.coloured;
    request.colour = beamColour();
    const std::optional<BeamColourChoice> choice = window_.dialogs().chooseBeamColour(request);
    if (!choice) {
        return;
    }
    pen = choice->isDefault ? model::PointStyle{}
                            : model::PointStyle::Colour(choice->colour & 0xFFFFFFu);
    ShowBeamColour();
}

void BeamColour::ItemBlankPenJumpsClick(bool dark) {
    window_.editor().contour().BlankPenJumps = dark;
}

}  // namespace window
