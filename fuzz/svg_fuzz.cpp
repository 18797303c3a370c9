// An SVG file as Import SVG reads it, with the options the input's length picks: the XML pass
// before Qt SVG, Qt SVG painting it into the recording device, the lines it shows placed and
// cut; the paths are joined at the pen's spacing, put into the contour and repainted; then a
// whole-contour command.
#include <QByteArray>
#include <cmath>

#include "fuzz/fuzz_support.h"
#include "model/path_join.h"
#include "pictures/svg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    pictures::SvgOptions options;
    options.visibleOnly = size % 2 == 0;
    options.wholePage = size / 2 % 2 == 1;
    const pictures::SvgDrawing d = pictures::ReadSvg(bytes, options);
    if (!d.ok()) {
        fuzzing::Require(d.paths.empty(), "a refused drawing brings no paths");
        return 0;
    }
    size_t points = 0;
    for (const model::Path& p : d.paths) {
        fuzzing::Require(p.points.size() >= 2, "every path is a line");
        fuzzing::Require(!p.closed || p.points.size() >= 3, "a closed path has three points");
        for (size_t i = 1; i < p.points.size(); ++i) {
            fuzzing::Require(
                std::hypot(p.points[i].x - p.points[i - 1].x, p.points[i].y - p.points[i - 1].y) >=
                    0.01 * model::kUnitsPerPixel,
                "neighbouring points are distinct");
        }
        for (const model::PathPoint& q : p.points) {
            fuzzing::Require(q.x >= model::kMinUnit && q.x <= model::kMaxUnit &&
                                 q.y >= model::kMinUnit && q.y <= model::kMaxUnit,
                             "every point lies on the surface");
        }
        points += p.points.size();
    }
    fuzzing::Require(points <= pictures::kMaxSvgPoints, "the drawing stays bounded");
    fuzzing::Require(std::isfinite(d.lengthPixels), "the length is a number");
    // What the command joins: only what can fit, and not more paths than points.
    const int spacing = int(size % 30) + 1;
    if (d.paths.size() > model::kMaxContourPoints ||
        d.lengthPixels / spacing > double(model::kMaxContourPoints)) {
        return 0;
    }
    const model::JoinedContour j = model::JoinPaths(d.paths, spacing);
    if (!j.fits()) {
        return 0;
    }
    fuzzing::Session s;
    s.editor.ToUndo();
    model::Contour& contour = s.editor.contour();
    for (size_t i = 0; i < j.points.size(); ++i) {
        contour.SetSlot(int64_t(2 * i), j.points[i].x);
        contour.SetSlot(int64_t(2 * i + 1), j.points[i].y);
    }
    s.editor.state().PointCount = int32_t(j.points.size());
    s.editor.PaintPic(true, true);
    fuzzing::RunContourCommand(s.editor, fuzzing::Bytes(data, size));
    return 0;
}
