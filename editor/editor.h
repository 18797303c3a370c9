// The editor proper: the contour, the drawing surface, the painters and the dispatch of
// surface events to the active tool. It talks to its window only through EditorHost.
#pragma once

#include <QString>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "editor/canvas.h"
#include "editor/document.h"
#include "editor/host.h"
#include "editor/settings.h"
#include "editor/tool.h"
#include "editor/underlay.h"
#include "model/contour.h"

namespace editor {

// Size of the drawing surface widget; the used area is its top-left 384 by 384 pixels.
inline constexpr int kSurfaceWidth = model::kSurfaceWidth;
inline constexpr int kSurfaceHeight = model::kSurfaceHeight;
inline constexpr int kSurfaceMax = 383;  // last used pixel on each axis

// Frame styles of KonturPaint.
enum KonturStyle : int { kFrameErase = 0, kFrameKontur = 1, kFrameMove = 2 };

class Editor {
  public:
    Editor(EditorHost& host, EditorSettings& settings);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    model::Contour& contour() { return contour_; }
    const model::Contour& contour() const { return contour_; }
    model::EditorState& state() { return contour_.State; }
    Canvas& canvas() { return canvas_; }
    EditorSettings& settings() { return settings_; }
    const EditorSettings& settings() const { return settings_; }
    EditorHost& host() { return host_; }
    Underlay& underlay() { return underlay_; }
    QTimer& TimerOnPaint() { return timerOnPaint_; }
    QTimer& timerStatusDot() { return timerStatusDot_; }
    // What the Лазер window, the preview and recovery listen to, with the output settings
    // they share. Each surface event and each import ends with the document settled; the
    // window settles it after every command.
    Document& document() { return document_; }
    const Document& document() const { return document_; }

    // Installs the handlers for a tool mode (1..11); nullptr removes them.
    void setTool(int mode, Tool* tool);

    // Start-up of the editing state, in the window's creation order.
    void FormCreate();

    // Surface events, positions in surface pixels as they arrive (not yet clamped).
    void PaintBoxVardeniMouseDown(MouseButton button, int x, int y);
    void PaintBoxVardeniMouseMove(int x, int y);
    void PaintBoxVardeniMouseUp(MouseButton button, int x, int y);

    // Palette: sets the tool mode, arms the deferred repaint, shows the tool's text.
    void SelectTool(int mode, const QString& statusText);
    // The handler of the tool buttons that have no mode of their own.
    void SpeedButtonToolsClick();
    // Full repaint now (refresh, line and point toggles).
    void Repaint();
    // Deferred repaint: one repaint 200 ms after the first arming; arming again changes nothing.
    void ArmRepaint();
    // Shows or hides the underlay, with its toggle in the same state, and arms the deferred
    // repaint.
    void ShowUnderlay(bool shown);
    // What an import reports beside the length: the two spare status panels' texts.
    struct ImportReport {
        QString spare;
        QString dot;
    };
    // Puts a list of points in place of the contour, as every import, trace and text does:
    // the undo snapshot, points 0..n-1 and the count (the slots past the new end keep what
    // they held), a repaint that shows the length, and the report when there is one.
    // Points without styles are default points.
    void ReplaceContour(const std::vector<model::ContourPoint>& points,
                        const std::vector<model::PointStyle>& styles = {},
                        const std::optional<ImportReport>& report = std::nullopt);

    // Contour operations that report to the window.
    void WriteToBuffer(int32_t s, int32_t x, int32_t y) { contour_.WriteToBuffer(s, x, y); }
    void ReadFromBuffer(int32_t s) { contour_.ReadFromBuffer(s); }
    void FillBuffer(int32_t x, int32_t y);
    void ToUndo();
    void SpeedButtonUndoClick();
    void ShowLength();
    void ArmStatusDot();

    // Lines drawn faint under the contour, after the grid: the onion skin's neighbouring
    // frames. Each is a closed run of points in its colour, its dark segments left out. None
    // by default; the next repaint shows a change.
    struct Ghost {
        std::vector<model::ContourPoint> points;
        std::vector<model::PointStyle> styles;
        QRgb colour = 0;
    };
    void setGhosts(std::vector<Ghost> ghosts) { ghosts_ = std::move(ghosts); }

    // Painters. A point's style decides how the segment reaching it is drawn: a default
    // point in the line colour, a coloured one in its colour, a blanked one thin and sparse
    // in the line colour (the grid and the underlay show through its gaps).
    void PaintPic(bool clear, bool drawAll);
    void KonturPaint(int style);
    void cUCLE(int x, int y, int shown);
    void PaintDsp(int x, int y, model::PointStyle style = {});
    void PointFirst(int x, int y, model::PointStyle style = {});
    void PointLast(int x, int y, model::PointStyle style = {});
    void OnlyDot(int x, int y);
    void ErasePaintDsp(int x, int y);

    // Shows what was drawn since the last call.
    void publishSurface();

    static int Clamp(int v) { return v < 0 ? 0 : (v > kSurfaceMax ? kSurfaceMax : v); }
    QRgb BaseColor() const { return ResolveColor(settings_.ColorBoxBase); }

  private:
    // The canvas pen of a segment reaching a point of `style`; `line` is the settings' line
    // colour, `coda` the pen of a default point.
    void SetSegmentPen(model::PointStyle style, QRgb line, PenStyle coda);
    void PaintGhosts();
    void TimerOnPaintTimer();
    void timerStatusDotTimer();
    void Debugger(int /*x*/, int /*y*/) {}
    Tool* toolFor(int mode) const;

    EditorHost& host_;
    EditorSettings& settings_;
    model::Contour contour_;
    Canvas canvas_;
    Underlay underlay_;
    Document document_{contour_, settings_};
    QTimer timerOnPaint_;
    QTimer timerStatusDot_;
    std::vector<Ghost> ghosts_;
    std::array<Tool*, 12> tools_{};
    std::vector<std::unique_ptr<Tool>> ownedTools_;
};

}  // namespace editor
