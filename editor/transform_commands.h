// The whole-contour commands of the palette and the toolbar, with what they show: each ends
// with a full repaint unless it refuses. None takes an undo snapshot.
#pragma once

namespace editor {

class Editor;

void SpeedButtonMirrorGorClick(Editor& e);
void SpeedButtonMirrorVertClick(Editor& e);
// Quarter turn clockwise as seen on the surface.
void SpeedButtonRotateClick(Editor& e);
// Quarter turn clockwise with enlargement by 1.1.
void SpeedButtonYuClick(Editor& e);
void SpeedButtonReturn128Click(Editor& e);
// Joins the gaps, shows the last gap's measure as "b: " and hides the underlay.
void SpeedButtonNormalDistanceClick(Editor& e);

}  // namespace editor
