#include "model/transforms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace model {

namespace {

// Points that have at least their x slot in the buffer: 0..2050.
constexpr int64_t kBufferPoints = (kSlotCount + 1) / 2;

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kRadToDeg = 180.0L / kPi;
constexpr long double kDegToRad = kPi / 180.0L;
// Stands in for the radius of the centre point, whose bearing is otherwise undefined.
constexpr long double kCentreRadius = 1e-10L;

int32_t Negate(int32_t v) {
    return v == std::numeric_limits<int32_t>::min() ? kMaxTransformed : -v;
}

int32_t Saturate(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// Negates one coordinate (0 for x, 1 for y) of points 0 .. PointCount + 2.
void Mirror(Contour& c, int axis) {
    const int64_t last = std::min<int64_t>(int64_t(c.State.PointCount) + 2, kBufferPoints - 1);
    for (int64_t i = 0; i <= last; ++i) {
        const int64_t s = 2 * i + axis;
        c.SetSlot(s, Negate(c.Slot(s)));
    }
}

bool FitsTransformed(long double v) {
    return v >= -static_cast<long double>(kMaxTransformed) &&
           v <= static_cast<long double>(kMaxTransformed);
}

// Rounds up exactly as ceill does. Rounding to nearest in the FPU's standing mode and
// correcting by one avoids switching the x87 control word, which ceill and a truncating
// conversion both do and which costs more than the whole turn's trigonometry.
long double CeilExtended(long double v) {
    const long double r = rintl(v);
    return r < v ? r + 1.0L : r;
}

// v is a whole number within the 32-bit range, so rounding in the standing mode is exact.
int32_t ToInt32(long double v) {
    return int32_t(lrintl(v));
}

int64_t Abs64(int64_t v) {
    return v < 0 ? -v : v;
}

// The pen's measure of the way from a to b in steps of s: the larger number of whole steps
// on either axis, or 0 when the pair is no gap.
int64_t GapSteps(const ContourPoint& a, const ContourPoint& b, int64_t s) {
    const int64_t dx = int64_t(a.x) - b.x;
    const int64_t dy = int64_t(a.y) - b.y;
    if (Abs64(dx) < s && Abs64(dy) < s) {
        return 0;
    }
    return std::max(Abs64(dx / s), Abs64(dy / s));
}

ContourPoint PointAt(const Contour& c, int64_t i) {
    return {c.Slot(2 * i), c.Slot(2 * i + 1)};
}

void SetPoint(Contour& c, int64_t i, const ContourPoint& p) {
    c.SetSlot(2 * i, p.x);
    c.SetSlot(2 * i + 1, p.y);
}

}  // namespace

void MirrorGor(Contour& c) {
    Mirror(c, 0);
}

void MirrorVert(Contour& c) {
    Mirror(c, 1);
}

bool RotateXY(int32_t x, int32_t y, int angle, long double scale, int32_t& xOut, int32_t& yOut) {
    const long double lx = x;
    const long double ly = y;
    // 1. The distance from the centre, as the hypotenuse of the larger and smaller leg.
    const long double big = std::max(std::fabs(lx), std::fabs(ly));
    const long double small = std::min(std::fabs(lx), std::fabs(ly));
    long double r = big;
    if (small != 0.0L) {
        const long double q = small / big;
        r = big * sqrtl(1.0L + q * q);
    }
    // 2. The centre itself.
    if (r == 0.0L) {
        r = kCentreRadius;
    }
    // 3. Bearing from the +y axis toward +x, through the arcsine of x / r, in 0..180 degrees.
    // r is never smaller than |x|, so 1 - t * t cannot go below 0; the guard keeps it so.
    const long double t = lx / r;
    const long double beta = atan2l(t, sqrtl(std::max(0.0L, 1.0L - t * t))) * kRadToDeg;
    long double a = beta + 90.0L;
    // 4. The lower half.
    if (y < 0) {
        a = 360.0L - a;
    }
    // 5.-6. Turned on by half a circle and the angle.
    a = a + 90.0L + static_cast<long double>(angle);
    const long double theta = a * kDegToRad;
    const long double s = sinl(theta);
    const long double co = cosl(theta);
    // 7. Scaled and rounded up.
    const long double nx = CeilExtended((s * r) * scale);
    const long double ny = CeilExtended((co * r) * scale);
    if (!FitsTransformed(nx) || !FitsTransformed(ny)) {
        return false;
    }
    xOut = ToInt32(nx);
    yOut = ToInt32(ny);
    return true;
}

bool RotateArea(Contour& c, int angle) {
    const int64_t last = std::min<int64_t>(c.State.PointCount, kBufferPoints - 1);
    // Every result is computed before any is stored, so that a turn that does not fit
    // changes nothing.
    std::array<ContourPoint, kBufferPoints> turned;
    for (int64_t i = 0; i <= last; ++i) {
        const ContourPoint p = PointAt(c, i);
        ContourPoint& q = turned[size_t(i)];
        if (!RotateXY(p.x, p.y, angle, c.State.RotateScale, q.x, q.y)) {
            return false;
        }
    }
    for (int64_t i = 0; i <= last; ++i) {
        SetPoint(c, i, turned[size_t(i)]);
    }
    return true;
}

bool ReturnPath(Contour& c) {
    const int32_t n = c.State.PointCount;
    if (n > kReturnPathLimit) {
        return false;
    }
    // Each copy reads a point below n and writes one at n or above, so no source is
    // overwritten before it is read.
    for (int64_t j = 0; j < n; ++j) {
        const ContourPoint p = PointAt(c, n - 1 - j);
        SetPoint(c, n + j,
                 {Saturate(int64_t(p.x) + kReturnOffset), Saturate(int64_t(p.y) + kReturnOffset)});
        // The way back runs each segment the other way: the copy of point i is reached along
        // the segment that reached point i + 1, so it takes that point's style (the copy of
        // the last point, one short step from it, takes its own).
        c.SetStyle(n + j, c.StyleAt(j == 0 ? n - 1 : n - j));
    }
    c.State.PointCount = n > 0 ? 2 * n : n;
    return true;
}

NormalDistanceResult NormalDistance(Contour& c, int32_t spacingPixels) {
    NormalDistanceResult result;
    const int64_t count = std::min<int64_t>(c.State.PointCount, kBufferPoints - 1);
    const int64_t s = int64_t(spacingPixels) * kUnitsPerPixel;
    if (count < 2 || s <= 0) {
        return result;
    }
    // 1. Measure every pair of the contour as it is; the gaps before the first one that no
    // longer fits are the ones joined.
    int64_t joinedPairs = count - 1;  // pairs 0 .. joinedPairs - 1 may be joined
    int64_t total = count;
    bool stopped = false;
    for (int64_t i = 0; i + 1 < count; ++i) {
        const int64_t n = GapSteps(PointAt(c, i), PointAt(c, i + 1), s);
        if (n == 0) {
            continue;
        }
        result.gapFound = true;
        result.lastN = n;
        if (!stopped) {
            if (total + n > kJoinLimit) {
                stopped = true;
                joinedPairs = i;
            } else {
                total += n;
            }
        }
    }
    const int64_t inserted = total - count;
    result.inserted = int32_t(inserted);
    if (inserted == 0) {
        return result;
    }
    // 2. Move the points up from the end, filling each joined gap behind the point that
    // follows it. Point k and the ones before it are still in place when pair (k - 1, k) is
    // handled: everything written so far lies above k + offset >= k.
    int64_t offset = inserted;
    for (int64_t k = count - 1; k >= 1 && offset > 0; --k) {
        const ContourPoint next = PointAt(c, k);
        const ContourPoint first = PointAt(c, k - 1);
        const PointStyle reaching = c.StyleAt(k);
        SetPoint(c, k + offset, next);
        c.SetStyle(k + offset, reaching);
        if (k - 1 >= joinedPairs) {
            continue;
        }
        const int64_t n = GapSteps(first, next, s);
        if (n == 0) {
            continue;
        }
        offset -= n;
        // The pen's even steps: the same truncated increment added j times.
        const int64_t ix = (int64_t(next.x) - first.x) / (n + 1);
        const int64_t iy = (int64_t(next.y) - first.y) / (n + 1);
        for (int64_t j = 1; j <= n; ++j) {
            SetPoint(c, k - 1 + offset + j, {int32_t(first.x + j * ix), int32_t(first.y + j * iy)});
            // A new point lies on the segment that reaches point k, and is drawn as it was.
            c.SetStyle(k - 1 + offset + j, reaching);
        }
    }
    c.State.PointCount = int32_t(total);
    return result;
}

}  // namespace model
