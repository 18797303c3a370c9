#include "pictures/jpeg_reader.h"

#include <QCoreApplication>

// libjpeg needs size_t and FILE declared before its header.
#include <jerror.h>
#include <jpeglib.h>
#include <csetjmp>
#include <cstdio>
#include <vector>

namespace pictures {

namespace {

// Memory libjpeg may take for its own work (coefficient buffers of progressive files); a
// request beyond it fails with the decoder's own error instead of exhausting the process.
constexpr long kDecoderMemory = 256L * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code = 0;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->code = err->pub.msg_code;
    std::longjmp(err->jump, 1);
}

// Warnings are silent, except a file that ends before its picture does: that picture is
// incomplete, and the decoder would make up the missing part.
void EmitMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0 && err->pub.msg_code == JWRN_JPEG_EOF) {
        ErrorExit(cinfo);
    }
}

void OutputMessage(j_common_ptr) {}

QString ErrorText(int code) {
    return QCoreApplication::translate("pictures", "JPEG error #%1").arg(code);
}

// Everything the setjmp frame touches lives here, outside the frame's locals, so that
// nothing is left indeterminate after a longjmp.
struct Decoder {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    QImage image;
    std::vector<JSAMPLE> row;
};

// Reads the header and picks the output size; decodes into d.image (RGB32). For
// area == empty, decodes at full size; without `enlarge`, a picture that fits the area
// keeps its own size.
QString Decode(Decoder& d, const QByteArray& data, QSize area, QRect* fitted, bool enlarge = true) {
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = ErrorExit;
    d.err.pub.emit_message = EmitMessage;
    d.err.pub.output_message = OutputMessage;
    if (setjmp(d.err.jump) != 0) {
        jpeg_destroy_decompress(&d.cinfo);
        d.image = QImage();
        return ErrorText(d.err.code);
    }
    jpeg_create_decompress(&d.cinfo);
    d.cinfo.mem->max_memory_to_use = kDecoderMemory;
    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d.cinfo, TRUE);
    const qint64 w = d.cinfo.image_width;
    const qint64 h = d.cinfo.image_height;
    if (w * h > kMaxJpegPixels) {
        d.err.code = JERR_IMAGE_TOO_BIG;
        std::longjmp(d.err.jump, 1);
    }

    const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    d.cinfo.scale_num = 8;
    d.cinfo.scale_denom = 8;
    if (!area.isEmpty()) {
        *fitted = FitRect(QSize(int(w), int(h)), area);
        if (!enlarge && w <= area.width() && h <= area.height()) {
            *fitted = QRect(0, 0, int(w), int(h));
        }
        // The smallest DCT scale (n/8) whose output still covers the fitted rectangle.
        for (unsigned n = 1; n <= 8; ++n) {
            d.cinfo.scale_num = n;
            jpeg_calc_output_dimensions(&d.cinfo);
            if (int(d.cinfo.output_width) >= fitted->width() &&
                int(d.cinfo.output_height) >= fitted->height()) {
                break;
            }
        }
    }
    d.cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&d.cinfo);
    const int ow = int(d.cinfo.output_width);
    const int oh = int(d.cinfo.output_height);
    if (qint64(ow) * oh > kMaxJpegPixels) {
        d.err.code = JERR_IMAGE_TOO_BIG;
        std::longjmp(d.err.jump, 1);
    }
    d.image = QImage(ow, oh, QImage::Format_RGB32);
    if (d.image.isNull()) {
        d.err.code = JERR_OUT_OF_MEMORY;
        std::longjmp(d.err.jump, 1);
    }
    if (cmyk) {
        d.row.resize(size_t(ow) * 4);
    }
    // Adobe writes CMYK inverted (0 is full ink); others write it plain.
    const bool inverted = d.cinfo.saw_Adobe_marker;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        const int y = int(d.cinfo.output_scanline);
        if (!cmyk) {
            JSAMPROW out = d.image.scanLine(y);
            jpeg_read_scanlines(&d.cinfo, &out, 1);
            continue;
        }
        JSAMPROW out = d.row.data();
        jpeg_read_scanlines(&d.cinfo, &out, 1);
        auto* line = reinterpret_cast<QRgb*>(d.image.scanLine(y));
        for (int x = 0; x < ow; ++x) {
            const JSAMPLE* p = &d.row[size_t(x) * 4];
            int c = p[0], m = p[1], yy = p[2], k = p[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yy = 255 - yy;
                k = 255 - k;
            }
            line[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
        }
    }
    jpeg_finish_decompress(&d.cinfo);
    jpeg_destroy_decompress(&d.cinfo);
    return QString();
}

}  // namespace

PictureResult ReadJpeg(const QByteArray& data, QSize area) {
    Decoder d;
    PictureResult r;
    r.error = Decode(d, data, area.isEmpty() ? QSize(1, 1) : area, &r.rect);
    if (!r.ok()) {
        return r;
    }
    r.image = d.image.size() == r.rect.size()
                  ? d.image
                  : d.image.scaled(r.rect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return r;
}

JpegImage ReadJpegAtMost(const QByteArray& data, int maxSide) {
    Decoder d;
    QRect rect;
    JpegImage r;
    r.error = Decode(d, data, QSize(maxSide, maxSide), &rect, false);
    r.image = d.image.isNull() || d.image.size() == rect.size()
                  ? d.image
                  : d.image.scaled(rect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return r;
}

JpegImage ReadJpegFull(const QByteArray& data) {
    Decoder d;
    QRect unused;
    JpegImage r;
    r.error = Decode(d, data, QSize(), &unused);
    r.image = d.image;
    return r;
}

}  // namespace pictures
