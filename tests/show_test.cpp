#include <gtest/gtest.h>

#include "model/show.h"

using model::Frame;
using model::PointStyle;

// One point from `a` to `b` over n in-betweens, the line colour 0x102030. Worked by hand: frame
// k is a + trunc((b - a) * k / (n + 1)), per coordinate and per channel.
TEST(InBetween, EachPointIsItsShareOfTheWayTruncated) {
    constexpr auto C = PointStyle::Colour;
    struct Row {
        Frame a, b;
        int n;
        std::vector<Frame> frames;
    };
    const auto one = [](int32_t x, int32_t y, std::vector<PointStyle> s) {
        return Frame{{{x, y}}, s, ""};
    };
    const Row rows[] = {
        // 10 / 3 = 3, 20 / 3 = 6, and -10 / 3 = -3 (towards zero); red 255 / 3 = 85 and
        // 510 / 3 = 170, blue 128 / 3 = 42 and 256 / 3 = 85 (not twice 42).
        {one(0, 10, {C(0)}),
         one(10, 0, {C(0xFF0080)}),
         2,
         {one(3, 7, {C(0x55002A)}), one(6, 4, {C(0xAA0055)})}},
        // Quarters of 10: 2.5, 5 and 7.5 truncate to 2, 5 and 7 (a step of 2 would give 6).
        {one(0, 0, {}),
         one(10, -10, {}),
         3,
         {one(2, -2, {PointStyle{}}), one(5, -5, {PointStyle{}}), one(7, -7, {PointStyle{}})}},
        // 1,915,000,000 * 3 = 5,745,000,000, past 32 bits, / 4 = 1,436,250,000; -255 / 4 =
        // -63, -510 / 4 = -127 and -765 / 4 = -191, from 255: 192, 128 and 64.
        {one(-960'000'000, 955'000'000, {C(0xFF00FF)}),
         one(955'000'000, -960'000'000, {C(0)}),
         3,
         {one(-481'250'000, 476'250'000, {C(0xC000C0)}), one(-2'500'000, -2'500'000, {C(0x800080)}),
          one(476'250'000, -481'250'000, {C(0x400040)})}},
        // Dark at one end stays dark; its default colour counts as the line colour:
        // (0x40 - 0x10) / 2 = 0x18, (0xA0 - 0x20) / 2 = 0x40.
        {one(0, 0, {PointStyle::Dark()}),
         one(0, 0, {C(0x40A030)}),
         1,
         {one(0, 0, {{0x286030, true, true}})}},
        // Default at both ends (no styles at all) stays default.
        {one(0, 0, {}), one(2, 2, {}), 1, {one(1, 1, {PointStyle{}})}},
    };
    for (const Row& r : rows) {
        const model::InBetweens made = model::InBetween(r.a, r.b, r.n, 0x102030);
        EXPECT_EQ(made.refusal, model::InBetweens::Refusal::None);
        EXPECT_EQ(made.frames, r.frames);
    }
    const Frame two{{{0, 0}, {5, 5}}, {}, "b"};
    using Refusal = model::InBetweens::Refusal;
    EXPECT_EQ(model::InBetween(rows[0].a, two, 3).refusal, Refusal::PointCounts);
    EXPECT_TRUE(model::InBetween(rows[0].a, two, 3).frames.empty());
    EXPECT_EQ(model::InBetween(two, two, 0).refusal, Refusal::Count);
    EXPECT_EQ(model::InBetween(two, two, 65536).refusal, Refusal::Count);
}
