// An ILDA file as Import reads it: the first frame decoded, its points put into the contour
// and repainted; then a whole-contour command. Exporting what was imported and importing
// that again must give the same points within one surface pixel.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "model/ilda.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const model::ilda::Import in = model::ilda::Decode(fuzzing::Bytes(data, size));
    if (in.error != model::ilda::ImportError::None) {
        fuzzing::Require(in.points.empty(), "a refused frame brings no points");
        return 0;
    }
    fuzzing::Require(!in.points.empty() && int(in.points.size()) <= model::ilda::kMaxImportPoints,
                     "an accepted frame fits the contour");
    fuzzing::Session s;
    s.editor.ToUndo();
    model::Contour& contour = s.editor.contour();
    for (size_t i = 0; i < in.points.size(); ++i) {
        contour.SetSlot(int64_t(2 * i), in.points[i].x);
        contour.SetSlot(int64_t(2 * i + 1), in.points[i].y);
    }
    s.editor.state().PointCount = int32_t(in.points.size());
    s.editor.PaintPic(true, true);

    for (const model::ilda::Format format : {model::ilda::kTrueColor2D, model::ilda::kIndexed2D}) {
        const model::ilda::Export out =
            model::ilda::Encode(contour, format, {0, 128, 0}, "fuzz", "fuzz");
        fuzzing::Require(out.clampedPoints == 0, "imported points export unclamped");
        const model::ilda::Import again = model::ilda::Decode(out.bytes);
        fuzzing::Require(again.error == model::ilda::ImportError::None &&
                             again.points.size() == in.points.size(),
                         "an exported frame imports again");
        for (size_t i = 0; i < in.points.size(); ++i) {
            fuzzing::Require(
                std::abs(int64_t(again.points[i].x) - in.points[i].x) < model::kUnitsPerPixel &&
                    std::abs(int64_t(again.points[i].y) - in.points[i].y) < model::kUnitsPerPixel,
                "a round trip keeps every point within one surface pixel");
        }
    }

    fuzzing::RunContourCommand(s.editor, fuzzing::Bytes(data, size));
    return 0;
}
