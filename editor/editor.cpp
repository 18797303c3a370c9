#include "editor/editor.h"

#include <QCoreApplication>
#include <algorithm>

#include "editor/tools/tools.h"

namespace editor {

namespace {

constexpr int kRepaintDelayMs = 200;
constexpr int kStatusDotDelayMs = 2000;

// Grid: 15 lines each way, 24 pixels apart.
constexpr int kGridStep = 24;
constexpr int kGridLines = 15;

// Fixed colours of the frame and the centre marker.
constexpr QRgb kFrameYellow = qRgb(255, 255, 0);
constexpr QRgb kFrameOlive = qRgb(128, 128, 0);
constexpr QRgb kMoveRed = qRgb(255, 0, 0);
constexpr QRgb kMoveMaroon = qRgb(128, 0, 0);
constexpr QRgb kMarkerWhite = qRgb(255, 255, 255);
constexpr QRgb kEraseRed = qRgb(255, 0, 0);

}  // namespace

Editor::Editor(EditorHost& host, EditorSettings& settings)
    : host_(host), settings_(settings), canvas_(QSize(kSurfaceWidth, kSurfaceHeight)) {
    timerOnPaint_.setTimerType(Qt::PreciseTimer);
    timerOnPaint_.setSingleShot(true);
    timerOnPaint_.setInterval(kRepaintDelayMs);
    timerOnPaint_.callOnTimeout([this] { TimerOnPaintTimer(); });
    timerStatusDot_.setTimerType(Qt::PreciseTimer);
    timerStatusDot_.setSingleShot(true);
    timerStatusDot_.setInterval(kStatusDotDelayMs);
    timerStatusDot_.callOnTimeout([this] { timerStatusDotTimer(); });
    ownedTools_ = InstallTools(*this);
}

void Editor::setTool(int mode, Tool* tool) {
    if (mode >= 0 && mode < int(tools_.size())) {
        tools_[size_t(mode)] = tool;
    }
}

Tool* Editor::toolFor(int mode) const {
    return (mode >= 0 && mode < int(tools_.size())) ? tools_[size_t(mode)] : nullptr;
}

void Editor::publishSurface() {
    const QRect r = canvas_.takeDirtyRect();
    if (!r.isEmpty()) {
        host_.surfaceChanged(r);
    }
}

void Editor::FormCreate() {
    // 1. An empty contour. 2. A full repaint: empty contour, grid off. 3. The window sets its
    // caption. 4. The frame tool's text. 5. Points 0..2047 cleared once more.
    state().PointCount = 0;
    PaintPic(true, true);
    host_.setStatusText(kPanelTool, QCoreApplication::translate("editor::Editor", "Select Dots"));
    std::fill_n(contour_.Buffer.begin(), 4096, 0);
}

// ---- Surface dispatch ----

void Editor::PaintBoxVardeniMouseDown(MouseButton button, int x, int y) {
    // The snapshot comes before anything else, for every button and every mode.
    ToUndo();
    x = Clamp(x);
    y = Clamp(y);
    if (Tool* t = toolFor(state().ToolMode)) {
        t->Down(button, x, y);
    }
    publishSurface();
    document_.Settle();
}

void Editor::PaintBoxVardeniMouseMove(int x, int y) {
    x = Clamp(x);
    y = Clamp(y);
    host_.setStatusText(kPanelCoords, QStringLiteral("X:%1  Y:%2")
                                          .arg((x - model::kCentrePixel) * 5)
                                          .arg((y - model::kCentrePixel) * 5));
    if (Tool* t = toolFor(state().ToolMode)) {
        t->Move(x, y);
    }
    Debugger(x, y);
    publishSurface();
    document_.Settle();
}

void Editor::PaintBoxVardeniMouseUp(MouseButton button, int x, int y) {
    x = Clamp(x);
    y = Clamp(y);
    if (Tool* t = toolFor(state().ToolMode)) {
        t->Up(button, x, y);
    }
    publishSurface();
    document_.Settle();
}

// ---- Palette and view commands ----

void Editor::SelectTool(int mode, const QString& statusText) {
    state().ToolMode = mode;
    ArmRepaint();
    host_.setStatusText(kPanelTool, statusText);
}

void Editor::SpeedButtonToolsClick() {
    ArmRepaint();
    host_.setStatusText(kPanelTool, QCoreApplication::translate("editor::Editor", "???"));
}

void Editor::Repaint() {
    PaintPic(true, true);
}

void Editor::ArmRepaint() {
    if (!timerOnPaint_.isActive()) {
        timerOnPaint_.start();
    }
}

void Editor::ArmStatusDot() {
    if (!timerStatusDot_.isActive()) {
        timerStatusDot_.start();
    }
}

void Editor::ShowUnderlay(bool shown) {
    underlay_.setVisible(shown);
    host_.setUnderlayToggle(shown);
    ArmRepaint();
}

void Editor::ReplaceContour(const std::vector<model::ContourPoint>& points,
                            const std::vector<model::PointStyle>& styles,
                            const std::optional<ImportReport>& report) {
    ToUndo();
    contour_.SetPoints(points, styles);
    PaintPic(true, true);  // with the length panel
    if (report) {
        host_.setStatusText(kPanelSpare, report->spare);
        host_.setStatusText(kPanelDot, report->dot);
    }
    document_.Settle();
}

void Editor::TimerOnPaintTimer() {
    timerOnPaint_.stop();
    PaintPic(true, true);
}

void Editor::timerStatusDotTimer() {
    timerStatusDot_.stop();
    host_.setStatusText(kPanelDot, QString());
}

// ---- Contour operations ----

void Editor::ShowLength() {
    host_.setStatusText(
        kPanelLength,
        QCoreApplication::translate("editor::Editor", "Leng: %1").arg(state().PointCount));
}

void Editor::FillBuffer(int32_t x, int32_t y) {
    if (contour_.FillBuffer(x, y)) {
        ShowLength();
    }
}

void Editor::ToUndo() {
    contour_.ToUndo();
    host_.setUndoEnabled(true);
}

void Editor::SpeedButtonUndoClick() {
    contour_.RestoreUndo();
    host_.setUndoEnabled(false);
    PaintPic(true, true);
}

// ---- Painters ----

void Editor::PaintPic(bool clear, bool drawAll) {
    const int32_t count = state().PointCount;
    // 1. The length panel.
    ShowLength();
    // 2. Clear to the background colour.
    if (clear) {
        canvas_.setBrushColor(BaseColor());
        canvas_.fillRect(0, 0, canvas_.width(), canvas_.height());
    }
    // 3. While shown, the underlay covers the whole surface: its picture where the picture
    // draws, the background in the margins and the transparent parts. A repaint without
    // clearing therefore starts from it too, and a dragged point leaves no trail.
    if (underlay_.visible()) {
        canvas_.image().fill(BaseColor());
    }
    underlay_.Draw(canvas_);
    if (underlay_.visible() && underlay_.hasPicture()) {
        canvas_.touch(canvas_.image().rect());
    }
    // 4. Grid: horizontal lines first, then vertical ones, none at 0 or 384.
    if (host_.gridShown()) {
        canvas_.setPenStyle(PenStyle::Solid);
        canvas_.setPenColor(ResolveColor(settings_.ColorBoxLineSetka));
        for (int i = 1; i <= kGridLines; ++i) {
            canvas_.moveTo(0, kGridStep * i);
            canvas_.lineTo(kSurfaceMax, kGridStep * i);
        }
        for (int i = 1; i <= kGridLines; ++i) {
            canvas_.moveTo(kGridStep * i, 0);
            canvas_.lineTo(kGridStep * i, kSurfaceMax);
        }
    }
    // 4b. The onion skin's frames, when there are any.
    PaintGhosts();
    // 5. The frame of the frame and move tools.
    if (state().ToolMode == model::tmKontur) {
        KonturPaint(kFrameKontur);
    } else if (state().ToolMode == model::tmMove) {
        KonturPaint(kFrameMove);
    }
    // 6. The centre marker, in every mode.
    cUCLE(state().CentreMark.x, state().CentreMark.y, 1);
    // 7. Start at the last point, so that the first line drawn joins it to the first point.
    if (count > 0) {
        ReadFromBuffer(2 * (count - 1));
        canvas_.moveTo(contour_.ReadPos.x, contour_.ReadPos.y);
    } else {
        canvas_.moveTo(model::kCentrePixel, model::kCentrePixel);
    }
    // 8. The points in order, the first and last marked. The points between are taken in
    // runs of one style: the pen, the colours and the view toggles are looked up once a run.
    if (drawAll && count > 0) {
        ReadFromBuffer(0);
        PointFirst(contour_.ReadPos.x, contour_.ReadPos.y, contour_.StyleAt(0));
        const bool lineShown = host_.lineShown();
        const bool pointsShown = host_.pointsShown();
        const QRgb line = ResolveColor(settings_.ColorBoxLine);
        const QRgb dot = ResolveColor(settings_.ColorBoxDefDot);
        const int r = settings_.ScrollBarSizeDefDots;
        const int32_t last = count - 1;
        for (int32_t i = 1; i < last;) {
            const model::PointStyle style = contour_.StyleAt(i);
            int32_t end = i + 1;
            while (end < last && contour_.StyleAt(end) == style) {
                ++end;
            }
            SetSegmentPen(style, line, PenStyle::Solid);
            const QRgb pen = canvas_.penColor();
            const PenStyle penStyle = canvas_.penStyle();
            for (; i < end; ++i) {
                ReadFromBuffer(2 * i);
                const model::PixelPos p = contour_.ReadPos;
                if (lineShown) {
                    canvas_.setPenStyle(penStyle);
                    canvas_.setPenColor(pen);
                    canvas_.lineTo(p.x, p.y);
                }
                if (pointsShown) {
                    canvas_.setPenColor(dot);
                    canvas_.setBrushColor(dot);
                    canvas_.ellipse(p.x - r, p.y - r, p.x + r, p.y + r);
                }
            }
        }
        if (last > 0) {
            ReadFromBuffer(2 * last);
            PointLast(contour_.ReadPos.x, contour_.ReadPos.y, contour_.StyleAt(last));
        }
    }
    // 9. Hot points on top: every point at the same pixel as the one before it.
    if (count > 0) {
        ReadFromBuffer(0);
        model::PixelPos prev = contour_.ReadPos;
        for (int32_t i = 1; i < count; ++i) {
            ReadFromBuffer(2 * i);
            if (contour_.ReadPos == prev) {
                OnlyDot(contour_.ReadPos.x, contour_.ReadPos.y);
            }
            prev = contour_.ReadPos;
        }
    }
    publishSurface();
}

void Editor::PaintGhosts() {
    canvas_.setPenStyle(PenStyle::Solid);
    for (const Ghost& g : ghosts_) {
        if (g.points.size() < 2) {
            continue;
        }
        canvas_.setPenColor(g.colour);
        const auto pixel = [](model::ContourPoint p) {
            return QPoint(model::UnitToPixel(p.x), model::UnitToPixel(p.y));
        };
        QPoint at = pixel(g.points.back());
        canvas_.moveTo(at.x(), at.y());
        for (std::size_t i = 0; i < g.points.size(); ++i) {
            at = pixel(g.points[i]);
            if (i < g.styles.size() && g.styles[i].blanked) {
                canvas_.moveTo(at.x(), at.y());
            } else {
                canvas_.lineTo(at.x(), at.y());
            }
        }
    }
}

void Editor::KonturPaint(int style) {
    const model::FrameRectangle f = state().FrameRect;
    const QRgb base = BaseColor();
    canvas_.setBrushColor(base);
    QRgb handle = base;
    switch (style) {
        case kFrameKontur:
            canvas_.setPenStyle(PenStyle::Dotted);
            canvas_.setPenColor(kFrameYellow);
            handle = kFrameOlive;
            break;
        case kFrameMove:
            canvas_.setPenStyle(PenStyle::Dotted);
            canvas_.setPenColor(kMoveRed);
            handle = kMoveMaroon;
            break;
        default:
            canvas_.setPenStyle(PenStyle::Solid);
            canvas_.setPenColor(base);
            break;
    }
    canvas_.moveTo(f.x1, f.y1);
    canvas_.lineTo(f.x2, f.y1);
    canvas_.lineTo(f.x2, f.y2);
    canvas_.lineTo(f.x1, f.y2);
    canvas_.lineTo(f.x1, f.y1);
    // The pen keeps its style; with pen and brush in one colour a dotted outline looks solid.
    canvas_.setBrushColor(handle);
    canvas_.setPenColor(handle);
    const int mx = (f.x1 + f.x2) / 2;
    const int my = (f.y1 + f.y2) / 2;
    const int centres[8][2] = {{f.x1, f.y1}, {f.x2, f.y1}, {f.x1, f.y2}, {f.x2, f.y2},
                               {mx, f.y1},   {mx, f.y2},   {f.x1, my},   {f.x2, my}};
    for (const auto& c : centres) {
        canvas_.rectangle(c[0] - 3, c[1] - 3, c[0] + 3, c[1] + 3);
    }
    canvas_.moveTo(f.x1, f.y1);
}

void Editor::cUCLE(int x, int y, int shown) {
    const QRgb base = BaseColor();
    canvas_.setPenStyle(PenStyle::Solid);
    canvas_.setPenColor(shown != 0 ? kMarkerWhite : base);
    canvas_.setBrushColor(base);
    canvas_.ellipse(x - 5, y - 5, x + 5, y + 5);
    canvas_.moveTo(x, y - 5);
    canvas_.lineTo(x, y + 5);
    canvas_.moveTo(x - 5, y);
    canvas_.lineTo(x + 5, y);
}

void Editor::SetSegmentPen(model::PointStyle style, QRgb line, PenStyle coda) {
    if (style.blanked) {
        canvas_.setPenStyle(PenStyle::Sparse);
        canvas_.setPenColor(line);
    } else if (style.coloured) {
        canvas_.setPenStyle(coda);
        canvas_.setPenColor(qRgb(qRed(style.rgb), qGreen(style.rgb), qBlue(style.rgb)));
    } else {
        canvas_.setPenStyle(coda);
        canvas_.setPenColor(line);
    }
}

void Editor::PaintDsp(int x, int y, model::PointStyle style) {
    const int r = settings_.ScrollBarSizeDefDots;
    const QRgb dot = ResolveColor(settings_.ColorBoxDefDot);
    if (host_.lineShown()) {
        SetSegmentPen(style, ResolveColor(settings_.ColorBoxLine), PenStyle::Solid);
        canvas_.lineTo(x, y);
    }
    if (host_.pointsShown()) {
        canvas_.setPenColor(dot);
        canvas_.setBrushColor(dot);
        canvas_.ellipse(x - r, y - r, x + r, y + r);
    }
}

void Editor::PointFirst(int x, int y, model::PointStyle style) {
    const int r = settings_.ScrollBarSizeFirstDot;
    if (host_.lineShown()) {
        // The way back from the last point: dotted, in the coda colour unless the first
        // point has a colour of its own or is reached dark.
        if (style.IsDefault()) {
            canvas_.setPenStyle(PenStyle::Dotted);
            canvas_.setPenColor(ResolveColor(settings_.ColorBoxLineCoda));
        } else {
            SetSegmentPen(style, ResolveColor(settings_.ColorBoxLine), PenStyle::Dotted);
        }
        canvas_.lineTo(x, y);
    }
    const QRgb dot = ResolveColor(settings_.ColorBoxFirstDot);
    canvas_.setPenColor(dot);
    canvas_.setBrushColor(dot);
    canvas_.ellipse(x - r - 1, y - r - 1, x + r + 3, y + r + 1);
    canvas_.setPenColor(ResolveColor(settings_.ColorBoxLine));
    canvas_.moveTo(x, y);
}

void Editor::PointLast(int x, int y, model::PointStyle style) {
    const int r = settings_.ScrollBarLastDot;
    const QRgb line = ResolveColor(settings_.ColorBoxLine);
    if (host_.lineShown()) {
        SetSegmentPen(style, line, PenStyle::Solid);
        canvas_.lineTo(x, y);
    }
    const QRgb dot = ResolveColor(settings_.ColorBoxLastDot);
    canvas_.setPenColor(dot);
    canvas_.setBrushColor(dot);
    canvas_.ellipse(x - r - 1, y - r - 1, x + r + 3, y + r + 1);
    canvas_.setPenColor(line);
    canvas_.moveTo(x, y);
}

void Editor::OnlyDot(int x, int y) {
    const int r = settings_.ScrollBarSizeHotDots;
    const QRgb hot = ResolveColor(settings_.ColorBoxHotDot);
    if (host_.pointsShown()) {
        canvas_.setPenColor(hot);
        canvas_.setBrushColor(hot);
        canvas_.ellipse(x - r, y - r, x + r, y + r);
    }
}

void Editor::ErasePaintDsp(int x, int y) {
    const int r = settings_.ScrollBarSizeDefDots;
    canvas_.setPenStyle(PenStyle::Solid);
    canvas_.setPenColor(kEraseRed);
    canvas_.lineTo(x, y);
    canvas_.setBrushColor(BaseColor());
    canvas_.ellipse(x - r, y - r, x + r, y + r);
}

}  // namespace editor
