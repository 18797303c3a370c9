// Tracing the underlay into the contour: the dialog with its live preview over the surface,
// and the command that puts the traced contour in place of the old one.
#pragma once

#include <QDialog>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "formats/imports.h"
#include "tracing/tracer.h"
#include "window/command_window.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace window {

class TraceDialog : public JoinDialog {
    Q_OBJECT
  public:
    // `show` receives the contour to preview (surface positions) after every change, and an
    // empty line when the dialog closes. The traced lines are drawn in `style`.
    TraceDialog(QWidget* parent, const tracing::Picture& picture, int spacing,
                std::function<void(const Overlay&)> show, model::PointStyle style = {});
    ~TraceDialog() override;

    const formats::TraceResult& traced() const { return result_; }
    tracing::Options options() const;
    int spacing() const;

  private:
    Joined Join() override;

    const tracing::Picture& picture_;
    model::PointStyle style_;
    formats::TraceResult result_;
    QComboBox* mode_ = nullptr;
    QSlider* thresholdSlider_ = nullptr;
    QSpinBox* threshold_ = nullptr;
    QCheckBox* invert_ = nullptr;
    QDoubleSpinBox* smoothing_ = nullptr;
    QSpinBox* minLength_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QSpinBox* spacing_ = nullptr;
};

class TraceCommands {
  public:
    explicit TraceCommands(CommandWindow& window);
    // Shows the underlay if it is hidden, runs the dialog and, on OK, puts the traced contour
    // in place of the old one.
    void SpeedButtonTraceClick();

  private:
    CommandWindow& window_;
};

}  // namespace window
