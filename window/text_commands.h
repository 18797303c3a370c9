// Text as laser lines: the dialog with its live preview over the surface, and the command that
// puts the text in place of the contour or after it.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "formats/text.h"
#include "window/command_window.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPlainTextEdit;
class QSpinBox;

namespace window {

// The values the text dialog was left with, which it opens with the next time: the text, its
// font (the default one when none is named), height, spacings and alignment, whether it went to
// the click and after the contour. The point spacing is the pen's each time.
struct TextValues {
    formats::TextOptions options;
    bool atClick = false;
    bool append = false;
};

class TextDialog : public JoinDialog {
    Q_OBJECT
  public:
    // `contour` is what "Добавить к контуру" adds to; `click` the point last clicked on the
    // surface, if any. `show` receives the contour to preview (surface positions) after every
    // change, and an empty line when the dialog closes.
    // The text's lines are drawn in `style`; the contour keeps `styles`.
    TextDialog(QWidget* parent, int spacing, std::vector<model::ContourPoint> contour,
               std::optional<QPoint> click, std::function<void(const Overlay&)> show,
               std::vector<model::PointStyle> styles = {}, model::PointStyle style = {},
               const TextValues& kept = {});
    ~TextDialog() override;

    const formats::TextResult& result() const { return result_; }
    formats::TextOptions options() const;
    TextValues kept() const;

  private:
    Joined Join() override;

    std::vector<formats::TextFont> fonts_;
    std::vector<model::ContourPoint> contour_;
    std::vector<model::PointStyle> styles_;
    model::PointStyle style_;
    std::optional<QPoint> click_;
    formats::TextResult result_;
    QPlainTextEdit* text_ = nullptr;
    QComboBox* font_ = nullptr;
    QSpinBox* height_ = nullptr;
    QSpinBox* letterSpacing_ = nullptr;
    QDoubleSpinBox* lineSpacing_ = nullptr;
    QComboBox* align_ = nullptr;
    QComboBox* place_ = nullptr;
    QCheckBox* append_ = nullptr;
    QSpinBox* spacing_ = nullptr;
};

class TextCommands {
  public:
    explicit TextCommands(CommandWindow& window);
    // Runs the dialog and, on OK, puts the text in place of the contour or after it.
    void ItemTextClick();

  private:
    CommandWindow& window_;
    TextValues kept_;
};

}  // namespace window
