#include "editor/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace editor {

namespace {

// Boxes may be given with their corners in any order; the canvas draws the box between them.
void normalizeBox(int& x1, int& y1, int& x2, int& y2) {
    if (x2 < x1) {
        std::swap(x1, x2);
    }
    if (y2 < y1) {
        std::swap(y1, y2);
    }
}

// Largest k >= 0 with k * k <= v (v >= 0).
int64_t isqrt(int64_t v) {
    auto k = int64_t(__builtin_sqrt(double(v)));
    while (k > 0 && k * k > v) {
        --k;
    }
    while ((k + 1) * (k + 1) <= v) {
        ++k;
    }
    return k;
}

}  // namespace

Canvas::Canvas(QSize size)
    : image_(size, QImage::Format_RGB32),
      bits_(reinterpret_cast<QRgb*>(image_.bits())),
      stride_(int(image_.bytesPerLine() / 4)),
      width_(size.width()),
      height_(size.height()) {
    image_.fill(qRgb(255, 255, 255));
}

void Canvas::markDirty(int x1, int y1, int x2, int y2) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_ - 1);
    y2 = std::min(y2, height_ - 1);
    if (x1 > x2 || y1 > y2) {
        return;
    }
    dirty_ |= QRect(QPoint(x1, y1), QPoint(x2, y2));
}

QRect Canvas::takeDirtyRect() {
    return std::exchange(dirty_, QRect());
}

void Canvas::hspan(int x1, int x2, int y, QRgb c) {
    if (unsigned(y) >= unsigned(height_)) {
        return;
    }
    x1 = std::max(x1, 0);
    x2 = std::min(x2, width_ - 1);
    if (x1 > x2) {
        return;
    }
    QRgb* row = bits_ + size_t(y) * size_t(stride_);
    std::fill(row + x1, row + x2 + 1, c);
}

void Canvas::lineTo(int x, int y) {
    sync();
    const int x0 = pos_.x();
    const int y0 = pos_.y();
    pos_ = {x, y};
    const int64_t dx = int64_t(x) - x0;
    const int64_t dy = int64_t(y) - y0;
    const int64_t adx = std::llabs(dx);
    const int64_t ady = std::llabs(dy);
    const int64_t steps = std::max(adx, ady);  // pixels drawn: the end pixel is left out
    if (steps == 0) {
        return;
    }
    // Walk along the major axis; the minor axis follows by midpoint rounding. Only the steps
    // whose major coordinate lies on the image are visited, so a line reaching far outside
    // costs no more than one across the image.
    const bool xMajor = adx >= ady;
    const int64_t a0 = xMajor ? x0 : y0;
    const int64_t b0 = xMajor ? y0 : x0;
    const int64_t da = xMajor ? adx : ady;
    const int64_t db = xMajor ? ady : adx;
    const int sa = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int sb = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t aLimit = xMajor ? width_ : height_;

    int64_t nFirst = 0;
    int64_t nLast = steps - 1;
    if (sa > 0) {
        nFirst = std::max<int64_t>(nFirst, -a0);
        nLast = std::min<int64_t>(nLast, aLimit - 1 - a0);
    } else {
        nFirst = std::max<int64_t>(nFirst, a0 - (aLimit - 1));
        nLast = std::min<int64_t>(nLast, a0);
    }
    if (nFirst > nLast) {
        return;
    }
    // Minor offset at step n is floor((2 n db + da) / (2 da)); carry it incrementally.
    int64_t num = 2 * nFirst * db + da;
    int64_t off = num / (2 * da);
    int64_t err = num - off * 2 * da;  // 0 <= err < 2 da
    int64_t a = a0 + sa * nFirst;
    int64_t bMin = b0;
    int64_t bMax = b0;
    const bool sparse = penStyle_ == PenStyle::Sparse;
    for (int64_t n = nFirst; n <= nLast; ++n) {
        const int64_t b = b0 + sb * off;
        bMin = std::min(bMin, b);
        bMax = std::max(bMax, b);
        if (sparse && n % 3 != 0) {
            // A gap: the pixel keeps what it shows.
        } else if (xMajor) {
            plot(int(a), int(std::clamp<int64_t>(b, -1, height_)), strokeColor(int(n)));
        } else {
            plot(int(std::clamp<int64_t>(b, -1, width_)), int(a), strokeColor(int(n)));
        }
        a += sa;
        err += 2 * db;
        if (err >= 2 * da) {
            err -= 2 * da;
            ++off;
        }
    }
    const int64_t aFirst = a0 + sa * nFirst;
    const int64_t aLast = a0 + sa * nLast;
    const auto clampI = [](int64_t v) { return int(std::clamp<int64_t>(v, -1, 1 << 20)); };
    if (xMajor) {
        markDirty(clampI(std::min(aFirst, aLast)), clampI(bMin), clampI(std::max(aFirst, aLast)),
                  clampI(bMax));
    } else {
        markDirty(clampI(bMin), clampI(std::min(aFirst, aLast)), clampI(bMax),
                  clampI(std::max(aFirst, aLast)));
    }
}

void Canvas::ellipse(int x1, int y1, int x2, int y2) {
    sync();
    normalizeBox(x1, y1, x2, y2);
    const int64_t w = int64_t(x2) - x1;
    const int64_t h = int64_t(y2) - y1;
    // Larger boxes than any surface are not drawn; the bound keeps the arithmetic in 64 bits.
    constexpr int64_t kMaxBox = 1 << 15;
    if (w <= 0 || h <= 0 || w > kMaxBox || h > kMaxBox) {
        return;
    }
    // A pixel (i, j) of the box belongs to the ellipse when its centre lies inside the ellipse
    // inscribed in the box. In doubled coordinates X = 2i + 1 - w, Y = 2j + 1 - h that is
    // X^2 h^2 + Y^2 w^2 <= w^2 h^2. Each row is one span; the outline is the set of its pixels
    // with a 4-neighbour outside, the rest takes the brush.
    const int jFirst = int(std::max<int64_t>(0, -int64_t(y1)));
    const int jLast = int(std::min<int64_t>(h - 1, int64_t(height_) - 1 - y1));
    if (jFirst > jLast || x1 >= width_ || x2 <= 0) {
        return;
    }
    const auto span = [&](int64_t j, int64_t& left, int64_t& right) {
        if (j < 0 || j >= h) {
            left = 1;
            right = 0;
            return;
        }
        const int64_t yy = 2 * j + 1 - h;
        const int64_t rhs = w * w * h * h - yy * yy * w * w;
        if (rhs < 0) {
            left = 1;
            right = 0;
            return;
        }
        int64_t xmax = isqrt(rhs / (h * h));
        // X has the parity of w + 1.
        if ((xmax & 1) != ((w + 1) & 1)) {
            --xmax;
        }
        if (xmax < 0) {
            left = 1;
            right = 0;
            return;
        }
        left = (w - 1 - xmax) / 2;
        right = (w - 1 + xmax) / 2;
    };
    int64_t pl = 0;
    int64_t pr = 0;
    int64_t cl = 0;
    int64_t cr = 0;
    int64_t nl = 0;
    int64_t nr = 0;
    span(jFirst - 1, pl, pr);
    span(jFirst, cl, cr);
    for (int j = jFirst; j <= jLast; ++j) {
        span(j + 1, nl, nr);
        if (cl <= cr) {
            const int y = y1 + j;
            // Outline pixels, then the brush over the inner run.
            const int64_t innerL =
                std::max({cl + 1, pl <= pr ? pl : cr + 1, nl <= nr ? nl : cr + 1});
            const int64_t innerR =
                std::min({cr - 1, pl <= pr ? pr : cl - 1, nl <= nr ? nr : cl - 1});
            if (penStyle_ == PenStyle::Solid) {
                hspan(int(x1 + cl), int(x1 + cr), y, penColor_);
            } else {
                for (int64_t i = cl; i <= cr; ++i) {
                    plot(int(x1 + i), y, strokeColor(int((x1 + i + y) & 1)));
                }
            }
            if (innerL <= innerR) {
                hspan(int(x1 + innerL), int(x1 + innerR), y, brushColor_);
            }
        }
        pl = cl;
        pr = cr;
        cl = nl;
        cr = nr;
    }
    markDirty(x1, y1, x2 - 1, y2 - 1);
}

void Canvas::rectangle(int x1, int y1, int x2, int y2) {
    sync();
    normalizeBox(x1, y1, x2, y2);
    if (x2 <= x1 || y2 <= y1) {
        return;
    }
    const int r = x2 - 1;
    const int b = y2 - 1;
    fillRect(x1 + 1, y1 + 1, r, b);
    const auto edgeRow = [&](int y) {
        if (penStyle_ == PenStyle::Solid) {
            hspan(x1, r, y, penColor_);
        } else {
            for (int x = std::max(x1, 0); x <= std::min(r, width_ - 1); ++x) {
                plot(x, y, strokeColor((x + y) & 1));
            }
        }
    };
    edgeRow(y1);
    edgeRow(b);
    for (int y = std::max(y1 + 1, 0); y <= std::min(b - 1, height_ - 1); ++y) {
        plot(x1, y, strokeColor((x1 + y) & 1));
        plot(r, y, strokeColor((r + y) & 1));
    }
    markDirty(x1, y1, r, b);
}

void Canvas::fillRect(int x1, int y1, int x2, int y2) {
    sync();
    normalizeBox(x1, y1, x2, y2);
    const int top = std::max(y1, 0);
    const int bottom = std::min(y2, height_);
    for (int y = top; y < bottom; ++y) {
        hspan(x1, x2 - 1, y, brushColor_);
    }
    markDirty(x1, y1, x2 - 1, y2 - 1);
}

}  // namespace editor
