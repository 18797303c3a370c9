// Writes the seed corpora of the fuzz harnesses with the editor's own encoders: a few small,
// valid files of each kind and a few at the edges of what the readers accept; and the replies a
// search and a DAC send over the network, laid out by hand from their protocols where the
// program has no encoder of its own. Run once with the corpus folder as the argument; the files
// are kept with the sources.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/contour.h"
#include "model/contour_file.h"
#include "model/ilda.h"
#include "model/legacy_file.h"
#include "output/discovery.h"
#include "output/ether_dream.h"

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
    // Points in colours of their own and blanked, in true colour and in indexed colours.
    model::Contour styled = small;
    styled.SetStyle(1, model::PointStyle::Colour(0x3366CC));
    styled.SetStyle(2, model::PointStyle::Dark());
    styled.SetStyle(3, {0xFFFF00, true, true});
    Write(dir, "styled.ild",
          model::ilda::Encode(styled, model::ilda::kTrueColor2D, {0, 128, 0}, "styled", "seed")
              .bytes);
    Write(
        dir, "styled_indexed.ild",
        model::ilda::Encode(styled, model::ilda::kIndexed2D, {0, 128, 0}, "styled", "seed").bytes);
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

    // A show: a palette, three frames, the last longer than the contour holds, with a hot
    // point; then the end.
    std::vector<uint8_t> show;
    Header(show, model::ilda::kPalette, 1);
    show.insert(show.end(), {0, 255, 0});
    for (const int records : {3, 1, 2600}) {
        Header(show, model::ilda::kTrueColor2D, records);
        for (int i = 0; i < records; ++i) {
            const int at = i >= 100 && i < 110 ? 100 : i;  // ten times in place
            Put16(show, -30000 + at * 23);
            Put16(show, (at % 50) * 600 - 15000);
            show.push_back(i + 1 == records ? 0x80 : (at % 7 == 0 ? 0x40 : 0));
            show.insert(show.end(), {0, 200, 255});
        }
    }
    Header(show, model::ilda::kTrueColor2D, 0);
    Write(dir, "show.ild", show);

    // Two palettes, each before an indexed frame: the second frame's colours are the second
    // palette's, and its last index lies past it.
    std::vector<uint8_t> palettes;
    for (const int colours : {3, 2}) {
        Header(palettes, model::ilda::kPalette, colours);
        for (int c = 0; c < colours; ++c) {
            palettes.insert(palettes.end(), {uint8_t(40 * c), uint8_t(200 - 50 * colours), 90});
        }
        Header(palettes, model::ilda::kIndexed2D, 3);
        for (int i = 0; i < 3; ++i) {
            Put16(palettes, i * 9000 - 9000);
            Put16(palettes, 4000 - i * 4000);
            palettes.push_back(uint8_t((i == 2 ? 0x80 : 0) | (i == 1 ? 0x40 : 0)));
            palettes.push_back(uint8_t(i));
        }
    }
    Header(palettes, model::ilda::kIndexed2D, 0);
    Write(dir, "palettes.ild", palettes);
}

// SVG drawings: shapes, transforms under a viewBox, hidden elements, text, curves; clip paths
// and masks in both units, on a group used twice and nested; a page in millimetres; pictures
// and references to other files (none of which exists), and shapes over each other.
void SvgFiles(const fs::path& dir) {
    const std::vector<std::pair<std::string, std::string>> files{
        {"shapes.svg",
         R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100" viewBox="0 0 100 100">
<rect x="10" y="10" width="30" height="20" rx="3" fill="none" stroke="black"/>
<circle cx="70" cy="25" r="15" fill="red"/><ellipse cx="50" cy="50" rx="20" ry="5"/>
<line x1="0" y1="0" x2="100" y2="100" stroke="blue"/>
<polyline points="5,90 15,80 25,90 35,80" fill="none" stroke="green"/>
<polygon points="60,90 70,70 80,90"/>
<path d="M 10 60 C 30 40, 50 90, 70 60 Q 80 50 90 60 A 5 5 0 0 1 95 70 Z"/>
<g transform="translate(75 75) rotate(30) scale(2 1)"><rect x="-5" y="-5" width="10" height="10"/></g>
<rect x="0" y="85" width="8" height="8" style="display:none"/>
</svg>)svg"},
        {"slice.svg",
         R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="50" height="300" viewBox="-10 -10 20 20" preserveAspectRatio="xMaxYMin slice">
<defs><path id="p" d="M-5 -5 L5 5 M5 -5 L-5 5"/></defs>
<use xlink:href="#p" stroke="red"/><use xlink:href="#p" transform="matrix(0.5 0 0 0.5 2 2)" stroke="red"/>
<text x="0" y="0" font-size="4">Laser</text>
</svg>)svg"},
        {"none.svg",
         R"svg(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 1e30 1" preserveAspectRatio="none">
<path d="M0 0 C 1e30 1, -1e30 1, 1e29 0.5" stroke="black" fill="none"/>
</svg>)svg"},
        {"clips.svg",
         R"svg(<?xml-stylesheet type="text/css" href="no-such.css"?>
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="100mm" height="80mm">
<defs><clipPath id="c" clip-rule="evenodd"><rect x="10" y="10" width="60" height="60"/><circle cx="40" cy="40" r="10"/></clipPath>
<clipPath id="b" clipPathUnits="objectBoundingBox" transform="rotate(5)"><circle cx="0.5" cy="0.5" r="0.5"/></clipPath>
<mask id="m"><rect width="100" height="50" fill="white"/><circle cx="50" cy="30" r="10" fill="black"/></mask></defs>
<g id="both" clip-path="url(#c)" transform="translate(5 5)"><rect x="0" y="0" width="90" height="90" fill="red" stroke="black"/>
<ellipse cx="50" cy="50" rx="40" ry="20" fill="blue" style="clip-path:url(#b)" mask="url(#m)"/></g>
<use xlink:href="#both" transform="scale(0.5)"/><use xlink:href="other.svg#part"/>
<image x="0" y="0" width="10" height="10" xlink:href="no-such.png"/>
<rect x="-50" y="-50" width="400" height="20" fill="green" opacity="0.5"/><path d="M 1 1 L 1.00001 1" stroke="black"/>
</svg>)svg"},
    };
    for (const auto& [name, text] : files) {
        Write(dir, name, text);
    }
}

// An IDN-Hello scan reply: header (command, flags, sequence), structure size, version, status,
// a reserved byte, the 16-byte unit ID and the 20-byte name; `name` cut or NUL-padded to fit.
std::string ScanReply(const std::string& name, size_t extra) {
    std::string out{char(output::idn_hello::kScanResponse), 0, 0, 7, 40, 0x10, 0, 0};
    out.append(16, '\x5A');
    out.append((name + std::string(20, '\0')).substr(0, 20));
    out.append(extra, '\x01');
    return out;
}

// An Ether Dream's broadcast: MAC address, hardware and software revisions, buffer capacity,
// top point rate (little-endian), then its 20-byte status.
std::string Broadcast(uint16_t capacity) {
    std::string out{'\x00', '\x11', '\x22', '\xAA', '\xBB', '\xCC', 2, 0, 3, 0};
    out += {char(capacity & 0xFF), char(capacity >> 8), '\xA0', '\x86', 1, 0};
    out.append(20, '\0');
    return out;
}

void NetworkReplies(const fs::path& root) {
    Write(root / "idn_scan_reply", "projector.bin", ScanReply("Projector-1", 0));
    Write(root / "idn_scan_reply", "name_of_twenty.bin", ScanReply("ABCDEFGHIJKLMNOPQRST", 0));
    Write(root / "idn_scan_reply", "longer.bin", ScanReply("Unit", 12));
    Write(root / "idn_scan_reply", "one_short.bin", ScanReply("Unit", 0).substr(0, 43));
    Write(root / "ether_dream_broadcast", "dac.bin", Broadcast(1799));
    Write(root / "ether_dream_broadcast", "one_short.bin", Broadcast(1799).substr(0, 35));
    // A connection's answers: the greeting, prepare, data, begin, a NAK-full at a full buffer,
    // an emergency stop and an underflow, with a part of one more at the end.
    namespace ed = output::ether_dream;
    ed::Status playing{0, ed::kReady, ed::kPlaying, 0, 0, ed::kShutterOpen, 0, 900, 30'000, 4000};
    ed::Status full = playing;
    full.bufferFullness = 1799;
    ed::Status stopped{0, ed::kEmergencyStop, ed::kIdle, 0, 0, ed::kStoppedByEmergency, 0, 0, 0, 0};
    ed::Status dry{0, ed::kReady, ed::kIdle, 0, 0, ed::kUnderflow, 0, 0, 30'000, 65'535};
    const ed::Response answers[] = {
        {'a', '?', {}},
        {'a', 'p', {0, ed::kReady, ed::kPrepared, 0, 0, 0, 0, 0, 0, 0}},
        {'a', 'd', {0, ed::kReady, ed::kPrepared, 0, 0, 0, 0, 1798, 0, 0}},
        {'a', 'b', playing},
        {'F', 'd', full},
        {'!', 'd', stopped},
        {'I', 'd', dry}};
    QByteArray stream;
    for (const ed::Response& r : answers) {
        stream += ed::EncodeResponse(r);
    }
    Write(root / "ether_dream_status", "connection.bin", stream + stream.left(5));
    Write(root / "ether_dream_status", "one_answer.bin", ed::EncodeResponse(answers[3]));
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
    SvgFiles(root / "svg");
    NetworkReplies(root);
    return 0;
}
