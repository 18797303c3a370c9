// The scan preview: the contour as a laser projector draws it, on a black square that follows the
// window's size, with the scan rate, the frame-rate readouts and the scanner model. It draws the
// output stage's stream with the editor's output settings, the very points the Лазер window
// sends, and its scan rate is theirs. With "Показ" down and more than one frame it plays the
// show as the Лазер window does, each frame for its time (model/show_stream.h), and says when
// the show runs slow. It renders again when the document announces a change (and when its own
// view changes, or the show reaches another frame); the editor itself knows nothing about it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "editor/editor.h"
#include "model/show_stream.h"
#include "preview/scan_model.h"

namespace forms {

// Warning colour of the frame-rate readout when the picture would flicker.
inline constexpr QRgb kFlickerWarning = qRgb(200, 0, 0);

// What a window playing a show says of its pace: the frame rate, or that the show runs slow
// and the rate it reaches.
QString ShowPace(const model::stage::ShowStream& show, int framesPerSecond);

// The black projection area: shows the rendered square centred, and the beam's current place.
class ScanView : public QWidget {
    Q_OBJECT
  public:
    explicit ScanView(QWidget* parent);
    // Side of the square picture that fits the view.
    int side() const { return std::min(width(), height()); }
    QPoint origin() const { return QPoint((width() - side()) / 2, (height() - side()) / 2); }
    void setPicture(QImage picture) { picture_ = std::move(picture); }
    void setBeam(bool shown, QPointF at) {
        beamShown_ = shown;
        beam_ = at;
    }

  Q_SIGNALS:
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QImage picture_;
    bool beamShown_ = false;
    QPointF beam_;
};

class TPreviewForm : public QWidget {
    Q_OBJECT
  public:
    explicit TPreviewForm(editor::Editor& editor, QWidget* parent = nullptr);

    int scanRate() const;
    bool scannerModel() const { return CheckBoxScanner->isChecked(); }
    // Whether the show plays: "Показ" is down and the document has more than one frame. Else
    // the current frame is held, as the contour is edited.
    bool PlaysShow() const;
    // While the show plays: its stream, and the frame drawn now.
    const model::stage::ShowStream& showStream() const { return show_; }
    int shownFrame() const { return shownFrame_; }

    // Renders again when the contour (points and styles), the line colour, the settings or the
    // view differ from what was last rendered; returns whether it rendered.
    bool Refresh();
    // How many times the picture has been rendered.
    int renderCount() const { return renders_; }
    // The picture as last rendered, the contour's point count and the stream it was rendered
    // from, as samples and as picture points.
    const QImage& picture() const { return picture_; }
    int contourPoints() const { return count_; }
    const std::vector<model::stage::Sample>& stream() const { return stream_; }
    const std::vector<preview::ScanPoint>& points() const { return points_; }
    QTimer& frameTimer() { return frameTimer_; }
    ScanView* view() const { return view_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void frameTimerTimer();
    // Refresh while the show plays.
    bool RefreshShow(const model::stage::Settings& stage);
    // The frame of the show whose time it is now.
    int FrameNow() const;
    void RenderShowFrame(int frame);
    // The picture of stream_, with the readouts for a frame of `points` points.
    void Render(int points);
    void ShowReadouts(int points);
    // Shows `rate` in the list, adding it when the list does not hold it.
    void ShowRate(int rate);
    QComboBox* ComboBoxScanRate = nullptr;
    QCheckBox* CheckBoxScanner = nullptr;
    QPushButton* ButtonPlay = nullptr;
    QSpinBox* SpinFps = nullptr;
    QCheckBox* CheckBoxOptimise = nullptr;
    QLabel* LabelShow = nullptr;
    QLabel* LabelPoints = nullptr;
    QLabel* LabelFps = nullptr;
    QLabel* LabelFrameTime = nullptr;

    editor::Editor& editor_;
    ScanView* view_ = nullptr;
    QTimer frameTimer_;
    QElapsedTimer clock_;
    preview::ScanRenderer renderer_;
    // What the picture was rendered from.
    std::vector<int32_t> slots_;
    std::vector<model::PointStyle> styles_;
    int count_ = -1;
    QRgb color_ = 0;
    int size_ = -1;
    model::stage::Settings stage_;
    bool asMade_ = false;
    int rate_ = 0;
    bool scanner_ = false;
    std::vector<model::stage::Sample> stream_;
    // What the show's stream was built from, the stream and where each frame's time starts.
    bool playing_ = false;
    std::vector<model::Frame> frames_;
    std::vector<bool> fromFile_;
    model::stage::Settings showStage_;
    model::stage::ShowStream show_;
    std::vector<size_t> starts_;
    int shownFrame_ = -1;
    std::vector<preview::ScanPoint> points_;
    QImage picture_;
    int renders_ = 0;
};

}  // namespace forms
