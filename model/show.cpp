#include "model/show.h"

namespace model {

namespace {

PointStyle StyleOf(const Frame& f, size_t i) {
    return i < f.styles.size() ? f.styles[i] : PointStyle{};
}

// The way from `from` to `to`, k pieces of `pieces`, truncated toward zero. The product of a
// difference of two 32-bit values and k <= 65535 lies well within 64 bits.
int64_t Step(int64_t from, int64_t to, int64_t k, int64_t pieces) {
    return from + (to - from) * k / pieces;
}

uint32_t Channel(uint32_t rgb, int shift) {
    return (rgb >> shift) & 0xFFu;
}

}  // namespace

InBetweens InBetween(const Frame& a, const Frame& b, int n, uint32_t lineColour) {
    InBetweens result;
    if (a.points.size() != b.points.size()) {
        result.refusal = InBetweens::Refusal::PointCounts;
        return result;
    }
    if (n < 1 || n > kMaxShowFrames) {
        result.refusal = InBetweens::Refusal::Count;
        return result;
    }
    const int64_t pieces = int64_t(n) + 1;
    result.frames.resize(size_t(n));
    for (int64_t k = 1; k <= n; ++k) {
        Frame& f = result.frames[size_t(k - 1)];
        f.points.reserve(a.points.size());
        f.styles.reserve(a.points.size());
        for (size_t i = 0; i < a.points.size(); ++i) {
            const ContourPoint p = a.points[i];
            const ContourPoint q = b.points[i];
            f.points.push_back(
                {int32_t(Step(p.x, q.x, k, pieces)), int32_t(Step(p.y, q.y, k, pieces))});
            const PointStyle s = StyleOf(a, i);
            const PointStyle t = StyleOf(b, i);
            PointStyle mid;
            mid.blanked = s.blanked || t.blanked;
            mid.coloured = s.coloured || t.coloured;
            if (mid.coloured) {
                const uint32_t from = s.coloured ? s.rgb : lineColour;
                const uint32_t to = t.coloured ? t.rgb : lineColour;
                for (const int shift : {16, 8, 0}) {
                    mid.rgb |= uint32_t(Step(Channel(from, shift), Channel(to, shift), k, pieces))
                               << shift;
                }
            }
            f.styles.push_back(mid);
        }
    }
    return result;
}

}  // namespace model
