#include "editor/transform_commands.h"

#include <QCoreApplication>

#include "editor/editor.h"
#include "model/transforms.h"

namespace editor {

namespace {

constexpr int kQuarterTurn = 90;

void Turn(Editor& e, long double scale) {
    e.state().RotateScale = scale;
    // A turn that would not fit 32 bits is refused whole, and nothing needs repainting.
    if (model::RotateArea(e.contour(), kQuarterTurn)) {
        e.PaintPic(true, true);
    }
}

}  // namespace

void SpeedButtonMirrorGorClick(Editor& e) {
    model::MirrorGor(e.contour());
    e.PaintPic(true, true);
}

void SpeedButtonMirrorVertClick(Editor& e) {
    model::MirrorVert(e.contour());
    e.PaintPic(true, true);
}

void SpeedButtonRotateClick(Editor& e) {
    Turn(e, model::kScaleTurn);
}

void SpeedButtonYuClick(Editor& e) {
    Turn(e, model::kScaleEnlarge);
}

void SpeedButtonReturn128Click(Editor& e) {
    if (model::ReturnPath(e.contour())) {
        e.PaintPic(true, true);
    }
}

void SpeedButtonNormalDistanceClick(Editor& e) {
    const model::NormalDistanceResult r =
        model::NormalDistance(e.contour(), e.settings().ScrollBarFriqPoints);
    if (r.gapFound) {
        e.host().setStatusText(kPanelDot,
                               QCoreApplication::translate("editor::Editor", "b: %1").arg(r.lastN));
    }
    // The picture goes out of view; its toggle button keeps its state.
    e.underlay().setVisible(false);
    e.PaintPic(true, true);
}

}  // namespace editor
