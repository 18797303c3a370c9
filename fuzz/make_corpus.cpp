// Writes the seed corpora of the fuzz harnesses with the editor's own encoders: a few small,
// valid files of each kind and a few at the edges of what the readers accept. Run once with
// the corpus folder as the argument; the files are kept with the sources.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/contour.h"
#include "model/contour_file.h"
#include "model/ilda.h"
#include "model/legacy_file.h"

namespace {

namespace fs = std::filesystem;

template <typename Bytes>
void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A contour drawn as the pen would: points appended at surface pixels.
model::Contour Drawn(const std::vector<model::PixelPos>& pixels) {
    model::Contour c;
    for (const model::PixelPos& p : pixels) {
        c.FillBuffer(p.x, p.y);
    }
    return c;
}

// A star of n points around the centre, reaching the edges of the surface.
model::Contour Star(int n) {
    std::vector<model::PixelPos> pixels;
    for (int i = 0; i < n; ++i) {
        const int r = (i % 2 == 0) ? 191 : 40 + i % 100;
        const int dx = (i % 4 < 2) ? r : -r;
        const int dy = ((i / 2) % 2 == 0) ? r / 2 : -r;
        pixels.push_back({192 + dx, 192 + dy});
    }
    return Drawn(pixels);
}

void ContourFiles(const fs::path& dir) {
    const model::Contour empty;
    Write(dir, "empty.ilz", model::EncodeContourFile(empty.Buffer, 0));
    const model::Contour small = Drawn({{0, 0}, {192, 192}, {383, 383}, {383, 0}, {10, 300}});
    Write(dir, "small.ilz", model::EncodeContourFile(small.Buffer, small.State.PointCount));
    const model::Contour star = Star(2041);
    Write(dir, "full.ilz", model::EncodeContourFile(star.Buffer, star.State.PointCount));
    // The largest count the buffer holds, with the extreme words at the start.
    model::Contour edge = Star(300);
    edge.Buffer[0] = INT32_MIN;
    edge.Buffer[1] = INT32_MAX;
    const model::ContourFileImage edgeImage =
        model::EncodeContourFile(edge.Buffer, model::kMaxLoadableCount);
    Write(dir, "largest_count.ilz", edgeImage);
    // One byte more, which the reader ignores.
    std::vector<uint8_t> longer(edgeImage.begin(), edgeImage.end());
    longer.push_back(0x5A);
    Write(dir, "one_more_byte.ilz", longer);
}

void LegacyFiles(const fs::path& dir) {
    model::Contour empty;
    Write(dir, "start.plz", model::EncodeLegacyFile(empty));
    model::Contour star = Star(256);
    Write(dir, "star.plz", model::EncodeLegacyFile(star));
    model::LegacyFileImage ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = uint8_t(i);
    }
    Write(dir, "ramp.plz", ramp);
}

void Put16(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t((v >> 8) & 0xFF));
    out.push_back(uint8_t(v & 0xFF));
}

// A header as other programs write it, with a given format and record count.
void Header(std::vector<uint8_t>& out, uint8_t format, int records) {
    for (const char c : {'I', 'L', 'D', 'A', '\0', '\0', '\0'}) {
        out.push_back(uint8_t(c));
    }
    out.push_back(format);
    for (const char c : std::string("frame\0\0\0other co", 16)) {
        out.push_back(uint8_t(c));
    }
    Put16(out, records);
    Put16(out, 0);
    Put16(out, 1);
    out.push_back(0);
    out.push_back(0);
}

void IldaFiles(const fs::path& dir) {
    const model::Contour small = Drawn({{0, 0}, {192, 192}, {383, 383}, {383, 0}, {10, 300}});
    Write(
        dir, "true_colour.ild",
        model::ilda::Encode(small, model::ilda::kTrueColor2D, {0, 128, 0}, "small", "seed").bytes);
    Write(dir, "indexed.ild",
          model::ilda::Encode(small, model::ilda::kIndexed2D, {255, 0, 0}, "small", "seed").bytes);
    const model::Contour star = Star(2041);
    Write(dir, "longest.ild",
          model::ilda::Encode(star, model::ilda::kTrueColor2D, {0, 0, 255}, "star", "seed").bytes);

    // A palette section, then a 3-D indexed frame with a blanked point, then the end.
    std::vector<uint8_t> palette;
    Header(palette, model::ilda::kPalette, 2);
    for (const int v : {255, 0, 0, 0, 255, 0}) {
        palette.push_back(uint8_t(v));
    }
    Header(palette, model::ilda::kIndexed3D, 3);
    for (int i = 0; i < 3; ++i) {
        Put16(palette, -32768 + i * 30000);
        Put16(palette, 32767 - i * 30000);
        Put16(palette, 0);
        palette.push_back(i == 1 ? 0x40 : (i == 2 ? 0x80 : 0));
        palette.push_back(uint8_t(i));
    }
    Header(palette, model::ilda::kIndexed3D, 0);
    Write(dir, "palette_3d.ild", palette);

    // A 3-D true-colour frame.
    std::vector<uint8_t> truecolour;
    Header(truecolour, model::ilda::kTrueColor3D, 2);
    for (int i = 0; i < 2; ++i) {
        Put16(truecolour, i * 1000);
        Put16(truecolour, -i * 1000);
        Put16(truecolour, 5);
        truecolour.push_back(i == 1 ? 0x80 : 0);
        for (const int v : {10, 20, 30}) {
            truecolour.push_back(uint8_t(v));
        }
    }
    Header(truecolour, model::ilda::kTrueColor3D, 0);
    Write(dir, "true_colour_3d.ild", truecolour);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root(argv[1]);
    ContourFiles(root / "contour_file");
    LegacyFiles(root / "legacy_file");
    IldaFiles(root / "ilda");
    return 0;
}
