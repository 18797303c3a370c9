// What the pen gives new points: the beam colour, shown on the narrow swatch at the toolbar's
// right end and chosen in the colour dialog (a colour of its own, or the default, the line
// colour of the settings); and the Edit menu's toggle that draws the pen's jumps dark.
#pragma once

#include <QRgb>
#include <optional>

#include "widgets/speed_button.h"
#include "window/command_window.h"

namespace window {

// Where the swatch sits in the toolbar, in its last pixels.
inline constexpr QRect kBeamColourButton(472, 3, 14, 23);

class BeamColour {
  public:
    BeamColour(CommandWindow& window, widgets::SpeedButton& swatch);

    // The swatch's click: the chooser, and its answer as the pen's colour.
    void SpeedButtonBeamColourClick();
    // The swatch in the colour now, after a change of the pen's colour or of the settings.
    void ShowBeamColour();
    void ItemBlankPenJumpsClick(bool dark);

  private:
    // The pen's colour, or the line colour for the default.
    QRgb beamColour() const;

    CommandWindow& window_;
    widgets::SpeedButton& swatch_;
    std::optional<QRgb> shown_;
};

}  // namespace window
