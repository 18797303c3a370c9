#include "editor/document.h"

#include "editor/colors.h"

namespace editor {

void OutputSettings::set(const model::stage::Settings& settings) {
    if (settings != settings_) {
        settings_ = settings;
        Q_EMIT Changed();
    }
}

Document::Document(model::Contour& contour, const EditorSettings& settings)
    : contour_(contour),
      settings_(settings),
      show_(contour),
      buffer_(std::make_unique<model::ContourBuffer>(contour.Buffer)),
      styles_(std::make_unique<model::StyleBuffer>(contour.Styles)),
      count_(contour.State.PointCount),
      line_(LineColour()) {
    // A change of the output settings is a step of its own, announced at once.
    connect(&output_, &OutputSettings::Changed, this, [this] {
        Touch(OutputPart);
        Settle();
    });
}

Document::~Document() = default;

QRgb Document::LineColour() const {
    return ResolveColor(settings_.ColorBoxLine) & 0xFFFFFFu;
}

void Document::KeepCopy() {
    count_ = contour_.State.PointCount;
    *buffer_ = contour_.Buffer;
    *styles_ = contour_.Styles;
}

void Document::FramesChanged() {
    pending_ |= ShowPart | ContourPart;
    KeepCopy();
}

void Document::Settle() {
    Parts parts = pending_;
    pending_ = {};
    if (contour_.State.PointCount != count_ || contour_.Buffer != *buffer_ ||
        contour_.Styles != *styles_) {
        KeepCopy();
        parts |= ContourPart;
        // An edited frame is the user's own, no longer the file's as its author made it.
        show_.setFromFile(show_.current(), false);
    }
    if (const QRgb line = LineColour(); line != line_) {
        line_ = line;
        parts |= LineColourPart;
    }
    if (parts) {
        Q_EMIT Changed(++revision_, parts);
    }
}

}  // namespace editor
