// An ILDA file as Import reads it: the first frame decoded with its colours (through the
// palette in force) and blanking, its points put into the contour and repainted; then a
// whole-contour command. Exporting what was imported and importing that again must give the
// same points within one surface pixel, each as blanked as it was; in true colour each in its
// own colour, the default ones in the export's.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "model/ilda.h"

namespace {

// The frames of a show as the frame choice lists them; each listed frame decodes, and one too
// long for the contour thins to fit with every point on its path's range.
void WalkFrames(std::span<const uint8_t> data) {
    const model::ilda::FrameList list = model::ilda::ListFrames(data);
    for (size_t i = 0; i < list.frames.size() && i < 8; ++i) {
        const model::ilda::Import f = model::ilda::DecodeFrame(data, list.frames[i]);
        fuzzing::Require(f.error == model::ilda::ImportError::None &&
                             int(f.points.size()) == list.frames[i].points &&
                             f.styles.size() == f.points.size(),
                         "a listed frame decodes whole, a style for each point");
        const auto thin =
            model::ilda::Thin(f.points, f.styles, size_t(model::ilda::kMaxImportPoints));
        fuzzing::Require(thin.points.size() <= size_t(model::ilda::kMaxImportPoints) &&
                             thin.styles.size() == thin.points.size(),
                         "a thinned frame fits, a style for each point");
        // Every point of the frame is stood for by one kept, so darkness is never lost.
        const auto dark = [](const std::vector<model::PointStyle>& styles) {
            return std::any_of(styles.begin(), styles.end(),
                               [](const model::PointStyle& st) { return st.blanked; });
        };
        fuzzing::Require(dark(thin.styles) == dark(f.styles),
                         "a thinned frame is dark somewhere exactly when the frame is");
        // Saved back in its place, as Save does for a show: the show keeps its frames, and the
        // frame its points' blanking.
        if (i == 0 && !f.points.empty() &&
            f.points.size() <= size_t(model::ilda::kMaxImportPoints)) {
            auto contour = std::make_unique<model::Contour>();
            contour->SetPoints(f.points, f.styles);
            const auto out =
                model::ilda::Encode(*contour, model::ilda::kTrueColor2D, {}, "fuzz", "fuzz");
            const std::vector<uint8_t> show = model::ilda::ReplaceFrame(
                data, list.frames[0],
                std::span(out.bytes).first(out.bytes.size() - size_t(model::ilda::kHeaderSize)));
            const model::ilda::FrameList again = model::ilda::ListFrames(show);
            fuzzing::Require(again.frames.size() == list.frames.size() && again.stop == list.stop,
                             "a show with a frame replaced lists the same frames");
            const model::ilda::Import back = model::ilda::DecodeFrame(show, again.frames[0]);
            fuzzing::Require(
                back.styles.size() == f.styles.size() &&
                    std::equal(back.styles.begin(), back.styles.end(), f.styles.begin(),
                               [](const auto& a, const auto& b) { return a.blanked == b.blanked; }),
                "a frame replaced keeps its points' blanking");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WalkFrames(fuzzing::Bytes(data, size));
    const model::ilda::Import in = model::ilda::Decode(fuzzing::Bytes(data, size));
    if (in.error != model::ilda::ImportError::None) {
        fuzzing::Require(in.points.empty(), "a refused frame brings no points");
        return 0;
    }
    fuzzing::Require(!in.points.empty() && int(in.points.size()) <= model::ilda::kMaxImportPoints,
                     "an accepted frame fits the contour");
    fuzzing::Session s;
    s.editor.ToUndo();
    fuzzing::Require(in.styles.size() == in.points.size(), "a style for each point");
    model::Contour& contour = s.editor.contour();
    for (size_t i = 0; i < in.points.size(); ++i) {
        contour.SetSlot(int64_t(2 * i), in.points[i].x);
        contour.SetSlot(int64_t(2 * i + 1), in.points[i].y);
        contour.SetStyle(int64_t(i), in.styles[i]);
    }
    s.editor.state().PointCount = int32_t(in.points.size());
    s.editor.PaintPic(true, true);

    constexpr uint32_t kExportColour = 0x008000;
    for (const model::ilda::Format format : {model::ilda::kTrueColor2D, model::ilda::kIndexed2D}) {
        const model::ilda::Export out =
            model::ilda::Encode(contour, format, {0, 128, 0}, "fuzz", "fuzz");
        fuzzing::Require(out.clampedPoints == 0, "imported points export unclamped");
        const model::ilda::Import again = model::ilda::Decode(out.bytes);
        fuzzing::Require(again.error == model::ilda::ImportError::None &&
                             again.points.size() == in.points.size() &&
                             again.styles.size() == in.points.size(),
                         "an exported frame imports again");
        for (size_t i = 0; i < in.points.size(); ++i) {
            fuzzing::Require(
                std::abs(int64_t(again.points[i].x) - in.points[i].x) < model::kUnitsPerPixel &&
                    std::abs(int64_t(again.points[i].y) - in.points[i].y) < model::kUnitsPerPixel,
                "a round trip keeps every point within one surface pixel");
            fuzzing::Require(
                again.styles[i].blanked == in.styles[i].blanked && again.styles[i].coloured,
                "a round trip keeps the blanking and gives every point a colour");
            if (format == model::ilda::kTrueColor2D) {
                fuzzing::Require(again.styles[i].rgb ==
                                     (in.styles[i].coloured ? in.styles[i].rgb : kExportColour),
                                 "true colour keeps each point's colour");
            }
        }
    }

    fuzzing::RunContourCommand(s.editor, fuzzing::Bytes(data, size));
    return 0;
}
