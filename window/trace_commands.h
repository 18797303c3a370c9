// Tracing the underlay into the contour: the dialog with its live preview over the surface,
// and the command that puts the traced contour in place of the old one.
#pragma once

#include <QDialog>
#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

#include "model/path_join.h"
#include "tracing/tracer.h"
#include "window/picture_window.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace window {

class SurfaceWidget;

// One trace and its join at a spacing, with the smallest spacing that fits when it does not.
struct TraceResult {
    std::vector<model::Path> paths;
    model::JoinedContour contour;
    int fittingSpacing = 0;  // when the contour does not fit; 0 if no spacing up to 30 does
};
TraceResult TraceAndJoin(const tracing::Picture& picture, const tracing::Options& options,
                         int spacing);

// Replaces the contour with the points, after the undo snapshot: points 0..n-1 and the count;
// the slots past the new end keep what they held. Repaints and shows the length.
void PutContour(editor::Editor& editor, const std::vector<model::ContourPoint>& points);

class TraceDialog : public QDialog {
    Q_OBJECT
  public:
    // `show` receives the contour to preview (surface positions) after every change, and an
    // empty line when the dialog closes.
    TraceDialog(QWidget* parent, const tracing::Picture& picture, int spacing,
                std::function<void(const QPolygonF&)> show);
    ~TraceDialog() override;

    const TraceResult& traced() const { return result_; }
    tracing::Options options() const;
    int spacing() const;

  private:
    void schedule();
    void update();

    const tracing::Picture& picture_;
    std::function<void(const QPolygonF&)> show_;
    TraceResult result_;
    QTimer pending_;
    QComboBox* mode_ = nullptr;
    QSlider* thresholdSlider_ = nullptr;
    QSpinBox* threshold_ = nullptr;
    QCheckBox* invert_ = nullptr;
    QDoubleSpinBox* smoothing_ = nullptr;
    QSpinBox* minLength_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QSpinBox* spacing_ = nullptr;
    QLabel* readout_ = nullptr;
    QLabel* warning_ = nullptr;
    QPushButton* fit_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class TraceCommands : public QObject {
    Q_OBJECT
  public:
    TraceCommands(QObject& parent, PictureWindow& form, SurfaceWidget& surface);
    // Shows the underlay if it is hidden, runs the dialog and, on OK, puts the traced contour
    // in place of the old one.
    void SpeedButtonTraceClick();

  private:
    PictureWindow& form_;
    SurfaceWidget& surface_;
};

// Creates the commands for the form and connects them to the toolbar button and menu item.
TraceCommands* InstallTraceCommands(QObject& parent, PictureWindow& form, SurfaceWidget& surface);

}  // namespace window
