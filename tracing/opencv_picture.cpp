// The tracer's work on OpenCV, in a module of its own that the program loads when it first
// traces a picture (tracer.cpp), so that OpenCV is not loaded at every start.
#include "tracing/engine.h"

#include <QSysInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "tracing/iso_lines.h"
#include "tracing/pixel_lines.h"
#include "tracing/simplify.h"
#include "tracing/threshold.h"

namespace tracing {

struct Prepared {
    // The brightness, 0..255, with a border of one background pixel all round, and the
    // background where the picture shows nothing: [0] for tracing the dark side (white
    // background), [1] for the light side (black).
    std::array<cv::Mat, 2> grey;
    int threshold = 128;  // Otsu's, of the opaque pixels
    QRect area;
    double sx = 1;  // surface pixels per working pixel
    double sy = 1;

    cv::Rect inner() const { return {1, 1, grey[0].cols - 2, grey[0].rows - 2}; }
    model::PathPoint Unit(double u, double v) const {
        // Working pixel u covers [u - 0.5, u + 0.5); surface pixel p shows what lies at
        // p + 0.5.
        const double x = area.x() + (u + 0.5) * sx - 0.5;
        const double y = area.y() + (v + 0.5) * sy - 0.5;
        return {(x - model::kCentrePixel) * model::kUnitsPerPixel,
                (y - model::kCentrePixel) * model::kUnitsPerPixel};
    }
    double scale() const { return std::sqrt(sx * sy); }
    // The brightness of the dark (or, inverted, the light) side, blurred by sigma working
    // pixels from 0.1 on.
    cv::Mat Smoothed(bool invert, double sigma) const {
        const cv::Mat& prepared = grey[invert ? 1 : 0];
        if (sigma >= 0.1) {
            cv::Mat blurred = prepared.clone();
            cv::Mat inside = blurred(inner());
            cv::GaussianBlur(prepared(inner()), inside, cv::Size(0, 0), sigma, sigma,
                             cv::BORDER_REFLECT_101 | cv::BORDER_ISOLATED);
            return blurred;
        }
        return prepared;
    }
};

namespace {

// The brightness of a picture at the working size; `transparent` is set where its alpha is
// below half, and left empty when no pixel is.
cv::Mat Greyscale(const QImage& image, QSize work, cv::Mat& transparent) {
    if (image.format() == QImage::Format_Grayscale8 && image.size() == work) {
        return cv::Mat(work.height(), work.width(), CV_8U, const_cast<uchar*>(image.constBits()),
                       std::size_t(image.bytesPerLine()));
    }
    // 32-bit pixels as they are where their bytes are blue, green, red, alpha; else
    // converted to red, green, blue, alpha.
    const bool bgra =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian &&
        (image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32);
    QImage rgba = bgra ? image
                       : image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_RGBA8888
                                                                       : QImage::Format_RGBX8888);
    if (rgba.size() != work) {
        rgba = rgba.scaled(work, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const cv::Mat pixels(work.height(), work.width(), CV_8UC4, const_cast<uchar*>(rgba.constBits()),
                         std::size_t(rgba.bytesPerLine()));
    cv::Mat grey;
    cv::cvtColor(pixels, grey, bgra ? cv::COLOR_BGRA2GRAY : cv::COLOR_RGBA2GRAY);
    if (rgba.hasAlphaChannel()) {
        cv::Mat alpha;
        cv::extractChannel(pixels, alpha, 3);
        const cv::Mat below = alpha < 128;
        if (cv::countNonZero(below) > 0) {
            transparent = below;
        }
    }
    return grey;
}

class OpenCvPicture final : public Engine {
  public:
    OpenCvPicture(const QImage& image, const QRect& area);
    int AutoThreshold() const override { return d_->threshold; }
    std::vector<model::Path> Trace(const Options& options) const override;
    QSize workingSize() const override {
        return d_->grey[0].empty() ? QSize(0, 0) : QSize(d_->inner().width, d_->inner().height);
    }

  private:
    std::unique_ptr<Prepared> d_ = std::make_unique<Prepared>();
};

OpenCvPicture::OpenCvPicture(const QImage& image, const QRect& area) {
    d_->area = area;
    if (image.isNull() || area.isEmpty()) {
        return;
    }
    QSize work = image.size();
    if (work.width() < area.width() || work.height() < area.height()) {
        work = area.size();
    }
    d_->sx = double(area.width()) / work.width();
    d_->sy = double(area.height()) / work.height();
    cv::Mat transparent;
    const cv::Mat grey = Greyscale(image, work, transparent);
    const bool anyTransparent = !transparent.empty();
    d_->threshold = OtsuThreshold(grey, anyTransparent ? cv::Mat(~transparent) : cv::Mat());
    for (int lighter = 0; lighter < 2; ++lighter) {
        const cv::Scalar background(lighter ? 0 : 255);
        cv::copyMakeBorder(grey, d_->grey[std::size_t(lighter)], 1, 1, 1, 1, cv::BORDER_CONSTANT,
                           background);
        if (anyTransparent) {
            d_->grey[std::size_t(lighter)](d_->inner()).setTo(background, transparent);
        }
    }
}

std::vector<model::Path> OpenCvPicture::Trace(const Options& o) const {
    std::vector<model::Path> paths;
    const Prepared& d = *d_;
    if (d.grey[0].empty()) {
        return paths;
    }
    const double scale = d.scale();
    const cv::Mat grey = d.Smoothed(o.invert, o.smoothing / scale);
    const double tolerance = std::max(0.0, o.tolerance) / scale;
    // Specks are measured in the pixels the picture is traced at (see Options::minLength).
    const double minLength = std::max(0.0, o.minLength);
    const int t = std::clamp(o.threshold, 0, 255);

    const auto add = [&](const TracedLine& line, bool closed) {
        if (line.points.empty() || cv::arcLength(line.points, closed) < minLength) {
            return;
        }
        model::Path path;
        path.closed = closed;
        for (const cv::Point2d& p : Simplify(line, closed, tolerance)) {
            path.points.push_back(d.Unit(p.x, p.y));
        }
        paths.push_back(std::move(path));
    };

    if (o.mode == Mode::Outline) {
        const cv::Mat drawn = DrawnSide(grey, t, o.invert);
        for (const auto& line : IsoLines(grey, drawn, OutlineLevel(t, o.invert), o.invert)) {
            add(line, true);
        }
        return paths;
    }
    const cv::Mat inner = grey(d.inner()).clone();
    const std::vector<PixelLine> lines =
        o.mode == Mode::Edges ? EdgeLines(inner, t) : CentreLines(DrawnSide(inner, t, o.invert));
    for (const PixelLine& l : lines) {
        add(l.line, l.closed);
    }
    return paths;
}

}  // namespace

}  // namespace tracing

extern "C" Q_DECL_EXPORT tracing::Engine* QuorinimageTracingEngine(const QImage& image,
                                                                   const QRect& area) {
    return new tracing::OpenCvPicture(image, area);
}
