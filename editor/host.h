// What the editor needs from the window around it. The editor never reaches into a widget;
// it reports through this interface and reads the view toggles through it at every use.
#pragma once

#include <QRect>
#include <QString>

namespace editor {

// Status bar panels, indexed from 0.
enum StatusPanel : int {
    kPanelScale = 0,
    kPanelCoords = 1,
    kPanelLength = 2,
    kPanelSpare = 3,
    kPanelDot = 4,
    kPanelTool = 5,
};

enum class CursorShape { Arrow, SizeWE, SizeNS, SizeAll };

class EditorHost {
  public:
    virtual ~EditorHost() = default;

    virtual void setStatusText(int panel, const QString& text) = 0;
    // Enables or disables the undo button and the popup's undo item, button first.
    virtual void setUndoEnabled(bool enabled) = 0;
    virtual void setCursorShape(CursorShape shape) = 0;
    // The surface image changed inside rect and should be shown.
    virtual void surfaceChanged(const QRect& rect) = 0;

    // View toggles, read where they live.
    virtual bool lineShown() const = 0;    // contour drawn as a line
    virtual bool pointsShown() const = 0;  // points drawn
    virtual bool gridShown() const = 0;
    virtual bool directHook() const = 0;  // point search direction
    virtual void setDirectHook(bool down) = 0;
    // The underlay's toggle shows whether the underlay is shown; the underlay owns that state.
    virtual void setUnderlayToggle(bool /*down*/) {}
};

}  // namespace editor
