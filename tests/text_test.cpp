// Text as laser lines: the glyphs against the font files' own coordinates, the reading order
// of the join, and what a font cannot draw.
#include <gtest/gtest.h>

#include <QFile>
#include <QPoint>
#include <QRectF>
#include <algorithm>
#include <cmath>

#include "formats/text.h"

namespace {

double ToPixel(double unit) {
    return unit / 5e6 + 192;
}

// The strokes of one glyph as its .jhf line gives them: the glyph at code c is line c - 32;
// after the number and the count, the left and right edges, then pairs of coordinates, each a
// letter minus 'R', with " R" lifting the pen. y grows downwards; the baseline is at 9.
struct JhfGlyph {
    int left = 0;
    std::vector<std::vector<QPoint>> strokes;
};

JhfGlyph ReadJhfGlyph(const char* font, char code) {
    QFile file(QStringLiteral("/usr/share/hershey-fonts/%1.jhf").arg(QLatin1String(font)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << font;
    const QList<QByteArray> lines = file.readAll().split('\n');
    const QByteArray line = lines.value(code - 32);
    JhfGlyph g;
    g.left = line[8] - 'R';
    g.strokes.emplace_back();
    for (qsizetype i = 10; i + 1 < line.size(); i += 2) {
        if (line[i] == ' ' && line[i + 1] == 'R') {
            g.strokes.emplace_back();
        } else {
            g.strokes.back().push_back(QPoint(line[i] - 'R', line[i + 1] - 'R'));
        }
    }
    return g;
}

formats::TextOptions Hershey(const QString& text, const char* font) {
    formats::TextOptions o;
    o.text = text;
    o.font = {QString::fromLatin1(font), false, {}};
    return o;
}

}  // namespace

// Each letter, at twice the font's size (capitals 42 pixels, 2 pixels a unit) with its
// baseline starting at (100, 200): the strokes are the file's, point by point, within a pixel.
// A Cyrillic font draws the Latin letters it lacks in timesr's strokes.
TEST(Text, HersheyGlyphsAreTheFontFilesStrokes) {
    struct Row {
        const char* font;
        QString letter;
        char code;                   // where the font file has it
        const char* file = nullptr;  // that file, when not the font's own
    };
    const Row rows[] = {
        {"futural", QStringLiteral("A"), 'A'},
        {"futural", QStringLiteral("g"), 'g'},
        {"rowmans", QStringLiteral("&"), '&'},
        {"cyrillic", QStringLiteral("Ж"), 'H'},
        {"cyrillic", QStringLiteral("я"), '}'},
        {"cyrillic", QStringLiteral("Ы"), '$'},
        {"cyrilc_1", QStringLiteral("Щ"), 'Z'},
        {"cyrilc_1", QStringLiteral("б"), 'b'},
        {"cyrillic", QStringLiteral("L"), 'L', "timesr"},
        {"cyrilc_1", QStringLiteral("w"), 'w', "timesr"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.font) + " " + r.letter.toStdString());
        formats::TextOptions o = Hershey(r.letter, r.font);
        o.height = 42;
        o.at = QPointF(100, 200);
        const formats::TextLayout layout = formats::LayOutText(o);
        EXPECT_TRUE(layout.missing.isEmpty());
        const JhfGlyph g = ReadJhfGlyph(r.file ? r.file : r.font, r.code);
        ASSERT_EQ(layout.paths.size(), g.strokes.size());
        for (size_t s = 0; s < g.strokes.size(); ++s) {
            const auto& got = layout.paths[s].points;
            ASSERT_EQ(got.size(), g.strokes[s].size()) << "stroke " << s;
            EXPECT_FALSE(layout.paths[s].closed);
            for (size_t i = 0; i < got.size(); ++i) {
                const QPoint h = g.strokes[s][i];
                EXPECT_NEAR(ToPixel(got[i].x), 100 + (h.x() - g.left) * 2, 1.0) << s << "/" << i;
                EXPECT_NEAR(ToPixel(got[i].y), 200 + (h.y() - 9) * 2, 1.0) << s << "/" << i;
            }
        }
    }
}

// "I   I" over "I": the nearest stroke after the first is the one below it, but the beam goes
// on along the first line before it goes down to the second.
TEST(Text, TheJoinReadsLineByLineLeftToRight) {
    formats::TextOptions o = Hershey(QStringLiteral("I   I\nI"), "futural");
    o.lineSpacing = 1.2;
    const formats::TextResult r = formats::TextAndJoin(o, 2);
    ASSERT_TRUE(r.contour.fits());
    // The letters' boxes in reading order: by rows, then from the left.
    std::vector<QRectF> letters;
    for (const model::Path& path : r.layout.paths) {
        QRectF box;
        for (const model::PathPoint& p : path.points) {
            box |= QRectF(ToPixel(p.x) - 1, ToPixel(p.y) - 1, 2, 2);
        }
        letters.push_back(box);
    }
    ASSERT_EQ(letters.size(), 3u);
    std::sort(letters.begin(), letters.end(), [](const QRectF& a, const QRectF& b) {
        return std::pair(std::round(a.top()), a.left()) < std::pair(std::round(b.top()), b.left());
    });
    std::vector<int> visited;
    for (const model::ContourPoint& p : r.contour.points) {
        for (int i = 0; i < 3; ++i) {
            if (letters[size_t(i)].contains(ToPixel(p.x), ToPixel(p.y)) &&
                (visited.empty() || visited.back() != i)) {
                visited.push_back(i);
            }
        }
    }
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2}));
}

// What neither the font nor, for a Cyrillic one, timesr has a glyph for is named once each, in
// the order typed; the rest is drawn. "Нечего рисовать" is said of an empty text only.
TEST(Text, MissingGlyphsAreNamed) {
    struct Row {
        const char* font;
        QString text;
        QString missing;
        QString warning;
    };
    const Row rows[] = {
        {"cyrillic", QStringLiteral("LASER\nШОУ 2026"), QString(), QString()},
        {"cyrilc_1", QStringLiteral("ЭХО, Bob!"), QStringLiteral("Э"),
         QStringLiteral("В шрифте нет букв: Э.")},
        {"cyrillic", QStringLiteral("Ё"), QStringLiteral("Ё"),
         QStringLiteral("В шрифте нет букв: Ё.")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        const formats::TextResult r = formats::TextAndJoin(Hershey(row.text, row.font), 3);
        EXPECT_EQ(r.layout.missing, row.missing);
        EXPECT_EQ(r.contour.fits(), row.missing != row.text);
        EXPECT_EQ(formats::TextWarning(r), row.warning);
        const formats::Import in = formats::ImportText(Hershey(row.text, row.font), 3);
        EXPECT_EQ(in.error, row.warning);
        EXPECT_EQ(in.points.empty(), !row.warning.isEmpty());
    }
}

// An outline font gives closed outlines whose capitals are as high as asked.
TEST(Text, OutlineFontsGiveClosedOutlinesOfTheHeightAsked) {
    const std::optional<formats::TextFont> font =
        formats::FindTextFont(QStringLiteral("DejaVu Sans"));
    ASSERT_TRUE(font && font->outline);
    formats::TextOptions o;
    o.text = QStringLiteral("НН");
    o.font = *font;
    o.height = 60;
    const formats::TextLayout layout = formats::LayOutText(o);
    ASSERT_EQ(layout.paths.size(), 2u);
    QRectF box;
    for (const model::Path& path : layout.paths) {
        EXPECT_TRUE(path.closed);
        for (const model::PathPoint& p : path.points) {
            box |= QRectF(ToPixel(p.x), ToPixel(p.y), 1e-9, 1e-9);
        }
    }
    EXPECT_NEAR(box.height(), 60, 1.0);
    // Centred on the surface.
    EXPECT_NEAR(box.center().x(), 192, 1.0);
    EXPECT_NEAR(box.center().y(), 192, 1.0);
}

// A text that does not lie on the surface at its place is not joined: the largest whole
// height at which it does is named (and taken by --height), or that none does. In rowmans the
// strokes of "HELLO WORLD" run from 4 to 215 of its 218 units of advance (a capital is 21):
// centred, its right end lies at 192 + (215 - 109) h / 21, on the surface (at most 383) up to
// h = 37.8. "LASER" reaches 92 units right of where its baseline starts: from x = 300, up to
// h = 83 * 21 / 92 = 18.9. From x = 383 the first stroke, 4 units right, is off at any height.
TEST(Text, TextOffTheSurfaceNamesTheLargestHeightThatFits) {
    struct Row {
        QString text;
        double height;
        std::optional<QPointF> at;
        QString warning;
    };
    const Row rows[] = {
        {QStringLiteral("HELLO WORLD"), 150, std::nullopt,
         QStringLiteral("При высоте 150 пикс. текст выходит за край поверхности; наибольшая "
                        "высота, при которой он помещается: 37 пикс.")},
        {QStringLiteral("LASER"), 40, QPointF(300, 200),
         QStringLiteral("При высоте 40 пикс. текст выходит за край поверхности; наибольшая "
                        "высота, при которой он помещается: 18 пикс.")},
        {QStringLiteral("LASER"), 40, QPointF(383, 200),
         QStringLiteral("Текст выходит за край поверхности даже при высоте 4 пикс.")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.warning.toStdString());
        formats::TextOptions o = Hershey(row.text, "rowmans");
        o.height = row.height;
        o.at = row.at;
        const formats::TextResult r = formats::TextAndJoin(o, 3);
        EXPECT_FALSE(r.contour.fits());
        EXPECT_EQ(formats::TextWarning(r), row.warning);
    }
}
