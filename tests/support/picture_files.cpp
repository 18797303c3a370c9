#include "support/picture_files.h"

#include <QtEndian>
#include <algorithm>

namespace testing_support {

QByteArray EncodeJpeg(const QImage& source, J_COLOR_SPACE space, bool progressive) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = space == JCS_GRAYSCALE ? 1 : (space == JCS_CMYK ? 4 : 3);
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(image.width()) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        const auto* line =
            reinterpret_cast<const QRgb*>(image.constScanLine(int(cinfo.next_scanline)));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            if (space == JCS_GRAYSCALE) {
                row[size_t(x)] = JSAMPLE(qGray(p));
            } else if (space == JCS_CMYK) {
                // Adobe's inverted CMYK: no black ink, the colour inks as 255 - ink.
                row[size_t(x) * 4] = JSAMPLE(qRed(p));
                row[size_t(x) * 4 + 1] = JSAMPLE(qGreen(p));
                row[size_t(x) * 4 + 2] = JSAMPLE(qBlue(p));
                row[size_t(x) * 4 + 3] = 255;
            } else {
                row[size_t(x) * 3] = JSAMPLE(qRed(p));
                row[size_t(x) * 3 + 1] = JSAMPLE(qGreen(p));
                row[size_t(x) * 3 + 2] = JSAMPLE(qBlue(p));
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    free(out);
    return bytes;
}

void WmfFile::put16(int v) {
    char b[2];
    qToLittleEndian<quint16>(quint16(v), b);
    body_.append(b, 2);
}

void WmfFile::put32(quint32 v) {
    put16(int(v & 0xFFFF));
    put16(int(v >> 16));
}

void WmfFile::record(quint16 function, std::initializer_list<int> params) {
    put32(quint32(3 + params.size()));
    put16(function);
    for (int p : params) {
        put16(p);
    }
}

void WmfFile::window(int x, int y, int w, int h) {
    record(0x020B, {y, x});
    record(0x020C, {h, w});
}

void WmfFile::solidBrush(quint32 c) {
    record(0x02FC, {0, int(c & 0xFFFF), int(c >> 16), 0});
}

void WmfFile::pen(int style, int width, quint32 c) {
    record(0x02FA, {style, width, 0, int(c & 0xFFFF), int(c >> 16)});
}

void WmfFile::font(int height) {
    // LOGFONT: height, width, escapement, orientation, weight, italic/underline,
    // strikeout/charset, precisions, quality/pitch, then the face name.
    record(0x02FB, {height, 0, 0, 0, 400, 0, 0, 0, 0, 'A' | ('r' << 8), 'i' | ('a' << 8), 'l', 0});
}

void WmfFile::select(int object) {
    record(0x012D, {object});
}

void WmfFile::text(int x, int y, const char* s) {
    const QByteArray bytes(s);
    put32(quint32(3 + 1 + (bytes.size() + 1) / 2 + 2));
    put16(0x0521);
    put16(int(bytes.size()));
    body_.append(bytes);
    if (bytes.size() % 2) {
        body_.append('\0');
    }
    put16(y);
    put16(x);
}

void WmfFile::stretchDib(int x, int y, int w, int h, int sw, int sh,
                         const std::vector<quint32>& px) {
    QByteArray dib(40, '\0');
    qToLittleEndian<quint32>(40, dib.data());
    qToLittleEndian<qint32>(sw, dib.data() + 4);
    qToLittleEndian<qint32>(sh, dib.data() + 8);
    qToLittleEndian<quint16>(1, dib.data() + 12);
    qToLittleEndian<quint16>(32, dib.data() + 14);
    for (quint32 c : px) {
        // BGRX from 0x00BBGGRR.
        const char b[4] = {char((c >> 16) & 0xFF), char((c >> 8) & 0xFF), char(c & 0xFF), 0};
        dib.append(b, 4);
    }
    put32(quint32(3 + 11 + dib.size() / 2));
    put16(0x0F43);
    put32(0x00CC0020);  // SRCCOPY
    for (int v : {0, sh, sw, 0, 0, h, w, y, x}) {
        put16(v);
    }
    body_.append(dib);
}

QByteArray WmfFile::bytes(int w, int h, bool placeable) const {
    QByteArray file;
    auto put = [&file](auto v) {
        char b[sizeof v];
        qToLittleEndian(v, b);
        file.append(b, sizeof v);
    };
    if (placeable) {
        const quint16 head[] = {0xCDD7, 0x9AC6, 0, 0, 0, quint16(w), quint16(h), 1440, 0, 0};
        quint16 sum = 0;
        for (quint16 v : head) {
            sum ^= v;
            put(v);
        }
        put(sum);
    }
    const QByteArray eof("\x03\x00\x00\x00\x00\x00", 6);
    put(quint16(1));
    put(quint16(9));
    put(quint16(0x0300));
    put(quint32(9 + (body_.size() + eof.size()) / 2));
    put(quint16(16));
    put(quint32(64));
    put(quint16(0));
    file.append(body_);
    file.append(eof);
    return file;
}

QByteArray EncodeGif(const QList<QImage>& frames, QSize claimed) {
    const QSize size = claimed.isValid() ? claimed : frames.front().size();
    QList<QRgb> table{0};     // entry 0 the transparent one
    QList<QByteArray> codes;  // per frame, one byte per pixel: codes below 256
    for (const QImage& image : frames) {
        codes.append(QByteArray());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = qAlpha(image.pixel(x, y)) == 0 ? 0 : image.pixel(x, y) | 0xFF000000u;
                if (!table.contains(p) && table.size() < 256) {
                    table << p;
                }
                codes.back() += char(std::max<qsizetype>(0, table.indexOf(p)));
            }
        }
    }
    table.resize(256);
    QByteArray out("GIF89a");
    const auto put16 = [&out](int v) { out += char(v & 0xFF) + QByteArray(1, char(v >> 8)); };
    put16(size.width());
    put16(size.height());
    out += QByteArray("\xF7\0\0", 3);  // a table of 256 colours
    for (const QRgb c : table) {
        out += char(qRed(c)) + QByteArray(1, char(qGreen(c))) + char(qBlue(c));
    }
    for (const QByteArray& frame : codes) {
        // Entry 0 transparent; each frame replaces the one before (a tenth of a second).
        out += QByteArray("\x21\xF9\x04\x09\x0A\0\0\0", 8);
        out += QByteArray(",\0\0\0\0", 5);  // the picture at 0, 0
        put16(size.width());
        put16(size.height());
        out += QByteArray("\0\x08", 2);  // no table of its own; codes from 8 bits
        QByteArray packed;
        quint32 bits = 0;
        int count = 0;
        const auto code = [&](int c) {
            bits |= quint32(c) << count;
            for (count += 9; count >= 8; count -= 8, bits >>= 8) {
                packed += char(bits & 0xFF);
            }
        };
        for (qsizetype i = 0; i < frame.size(); ++i) {
            if (i % 200 == 0) {
                code(256);  // clear
            }
            code(quint8(frame[i]));
        }
        code(257);  // end
        packed += char(bits & 0xFF);
        for (qsizetype at = 0; at < packed.size(); at += 255) {
            out += char(packed.mid(at, 255).size()) + packed.mid(at, 255);
        }
        out += '\0';
    }
    return out + ';';
}

}  // namespace testing_support
