// The contour file as Open reads it: the size check that refuses without reading, the decode,
// the contour replaced and repainted; then a whole-contour command on what was loaded.
// Saving what was loaded must give the file's bytes back, except for the words that read as
// values below -2,140,000,000, which any save writes as word 0.

#include "fuzz/fuzz_support.h"
#include "model/contour_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!model::ContourFileSizeAccepted(int64_t(size))) {
        return 0;
    }
    fuzzing::Session s;
    s.editor.ToUndo();
    const std::optional<model::DecodedContour> file =
        model::DecodeContourFile(fuzzing::Bytes(data, size));
    if (!file) {
        return 0;
    }
    fuzzing::Require(file->count >= 0 && file->count <= model::kMaxLoadableCount,
                     "a decoded count fits the buffer");
    model::ApplyContourFile(*file, s.editor.contour());
    s.editor.Repaint();

    const model::ContourFileImage saved =
        model::EncodeContourFile(s.editor.contour().Buffer, s.editor.state().PointCount);
    for (std::size_t at = 0; at < model::kContourFileSize; at += 2) {
        const auto word = uint16_t(data[at] | (data[at + 1] << 8));
        const bool lowest =
            at != model::kCountWordOffset && model::DecodeCoordinateWord(word) < -2'140'000'000;
        const uint16_t expected = lowest ? 0 : word;
        fuzzing::Require(saved[at] == (expected & 0xFF) && saved[at + 1] == (expected >> 8),
                         "a loaded contour saves as the bytes it was read from");
    }

    s.host.grid = true;
    fuzzing::RunContourCommand(s.editor, fuzzing::Bytes(data, size));
    return 0;
}
