// The legacy file as Import reads it: its first 2048 bytes (a shorter file is refused), all
// 256 points stored and repainted; then a whole-contour command and an export of the result.
#include "fuzz/fuzz_support.h"
#include "model/legacy_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < model::kLegacyFileSize) {
        return 0;
    }
    fuzzing::Session s;
    s.editor.ToUndo();
    const bool decoded =
        model::DecodeLegacyFile(fuzzing::Bytes(data, model::kLegacyFileSize), s.editor.contour());
    fuzzing::Require(decoded, "a file of 2048 bytes is read");
    fuzzing::Require(s.editor.state().PointCount == model::kLegacyImportCount,
                     "an import counts 255 points");
    s.editor.Repaint();

    // Every imported byte lies within the surface, so an export right away writes bytes.
    const model::LegacyFileImage exported = model::EncodeLegacyFile(s.editor.contour());
    for (std::size_t i = model::kLegacyPoints; i < model::kLegacyYOffset; ++i) {
        fuzzing::Require(exported[i] == model::kLegacyFiller, "the filler stays 127");
    }

    fuzzing::RunContourCommand(s.editor, fuzzing::Bytes(data, size));
    model::EncodeLegacyFile(s.editor.contour());
    return 0;
}
