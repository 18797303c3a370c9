#include "formats/text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QPainterPath>
#include <QRawFont>
#include <QSet>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>

// The library's header is C, with a flexible array member that ISO C++ does not have.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
extern "C" {
#include <hersheyfont.h>
}
#pragma GCC diagnostic pop

namespace formats {

namespace {

// A Hershey capital is 21 of the font's units high, from its baseline.
constexpr double kHersheyCapHeight = 21;

QString HersheyFolder() {
    const QByteArray dir = qgetenv("HERSHEY_FONTS_DIR");
    return dir.isEmpty() ? QStringLiteral("/usr/share/hershey-fonts") : QString::fromLocal8Bit(dir);
}

// A Hershey font's glyphs sit at the codes 32 to 127. Most fonts draw there the ASCII
// character of the code; the Cyrillic ones draw their letters in place of the Latin ones
// and of some signs. Each row gives what the codes 32 to 127 draw, and the font that draws
// the characters it has no glyph for.
//
// Both Cyrillic fonts are Hershey's complex Cyrillic: their letters shaped like Latin ones
// (А, В, Е, М, Н, О, Р, С, Т, Х, а, е, о, р, с, х) are stroke for stroke timesr's A, B, E, M,
// H, O, P, C, T, X, a, e, o, p, c, x, as are most of their digits and signs. So the Latin
// letters they lack come from timesr, Hershey's complex Roman, and "LASER ШОУ" reads as one
// face; the simplex Latin fonts (futural, rowmans) have neither its serifs nor its doubled
// strokes.
struct Layout {
    const char* font;
    const char16_t* drawn;
    const char* others;
};
constexpr Layout kLayouts[] = {
    // The capital Й (at E) is drawn without its breve; it is the font's Й all the same.
    {"cyrillic",
     u" !\"#Ыцы'()*+,-./0123456789:;<=>?@АБЭДЙФГЖИЧКЛМНОПШРСТЮВЩХУЗЕ\\ЪЯЬЦ"
     u"абэдйфгжичклмнопшрстювщхузеъяь~",
     "timesr"},
    {"cyrilc_1",
     u" !\"#$%&'()*+,-./0123456789:;<=>?@АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩ[\\]^_`"
     u"абвгдежзийклмнопрстуфхцчшщ{|}~°",
     "timesr"},
};

// The Hershey fonts as the dialog lists them, in its order: those for Russian, the Latin
// faces, the Greek and the Japanese, then the signs. Some files share their letters and differ
// in the signs or the strokes (futural and rowmans, cursive and scripts, each Gothic face and
// its triplex); the titles tell them apart. They are translated where the list is made.
struct Title {
    const char* font;
    const char* title;
};
constexpr Title kTitles[] = {
    {"cyrillic", QT_TRANSLATE_NOOP("formats::TextFonts", "Кириллица")},
    {"cyrilc_1", QT_TRANSLATE_NOOP("formats::TextFonts", "Кириллица без Ъ, Ы, Ь, Э, Ю, Я")},
    {"rowmans", QT_TRANSLATE_NOOP("formats::TextFonts", "Рубленый простой")},
    {"rowmand", QT_TRANSLATE_NOOP("formats::TextFonts", "Рубленый двойной")},
    {"futural", QT_TRANSLATE_NOOP("formats::TextFonts", "Футура светлая")},
    {"futuram", QT_TRANSLATE_NOOP("formats::TextFonts", "Футура средняя")},
    {"timesr", QT_TRANSLATE_NOOP("formats::TextFonts", "Таймс")},
    {"timesrb", QT_TRANSLATE_NOOP("formats::TextFonts", "Таймс полужирный")},
    {"timesi", QT_TRANSLATE_NOOP("formats::TextFonts", "Таймс курсив")},
    {"timesib", QT_TRANSLATE_NOOP("formats::TextFonts", "Таймс полужирный курсив")},
    {"rowmant", QT_TRANSLATE_NOOP("formats::TextFonts", "Антиква тройная")},
    {"scripts", QT_TRANSLATE_NOOP("formats::TextFonts", "Рукописный простой")},
    {"scriptc", QT_TRANSLATE_NOOP("formats::TextFonts", "Рукописный двойной")},
    {"cursive", QT_TRANSLATE_NOOP("formats::TextFonts", "Рукописный с прямыми цифрами")},
    {"gothiceng", QT_TRANSLATE_NOOP("formats::TextFonts", "Готический английский")},
    {"gothgbt", QT_TRANSLATE_NOOP("formats::TextFonts", "Готический английский тройной")},
    {"gothicger", QT_TRANSLATE_NOOP("formats::TextFonts", "Готический немецкий")},
    {"gothgrt", QT_TRANSLATE_NOOP("formats::TextFonts", "Готический немецкий тройной")},
    {"gothicita", QT_TRANSLATE_NOOP("formats::TextFonts", "Готический итальянский")},
    {"gothitt", QT_TRANSLATE_NOOP("formats::TextFonts", "Готический итальянский тройной")},
    {"greeks", QT_TRANSLATE_NOOP("formats::TextFonts", "Греческий простой")},
    {"greek", QT_TRANSLATE_NOOP("formats::TextFonts", "Греческий")},
    {"greekc", QT_TRANSLATE_NOOP("formats::TextFonts", "Греческий с засечками")},
    {"timesg", QT_TRANSLATE_NOOP("formats::TextFonts", "Таймс греческий")},
    {"japanese", QT_TRANSLATE_NOOP("formats::TextFonts", "Японская кана")},
    {"symbolic", QT_TRANSLATE_NOOP("formats::TextFonts", "Символы")},
    {"markers", QT_TRANSLATE_NOOP("formats::TextFonts", "Маркеры")},
    {"mathlow", QT_TRANSLATE_NOOP("formats::TextFonts", "Математические знаки, строчные")},
    {"mathupp", QT_TRANSLATE_NOOP("formats::TextFonts", "Математические знаки, прописные")},
    {"astrology", QT_TRANSLATE_NOOP("formats::TextFonts", "Астрологические знаки")},
    {"meteorology", QT_TRANSLATE_NOOP("formats::TextFonts", "Метеорологические знаки")},
    {"music", QT_TRANSLATE_NOOP("formats::TextFonts", "Нотные знаки")},
};

static_assert(std::char_traits<char16_t>::length(kLayouts[0].drawn) == 96);
static_assert(std::char_traits<char16_t>::length(kLayouts[1].drawn) == 96);

// The row of a font that does not draw ASCII, or null.
const Layout* LayoutOf(const QString& font) {
    for (const Layout& l : kLayouts) {
        if (font == QLatin1String(l.font)) {
            return &l;
        }
    }
    return nullptr;
}

struct HersheyDeleter {
    void operator()(hershey_font* f) const { hershey_font_free(f); }
};

struct HersheyFont {
    std::unique_ptr<hershey_font, HersheyDeleter> font;
    QHash<char32_t, unsigned char> codes;  // the character -> the code of its glyph
    const HersheyFont* others = nullptr;   // draws what this font has no glyph for

    const hershey_glyph* glyph(char32_t c) const {
        const auto it = codes.find(c);
        const hershey_glyph* g = it != codes.end() ? hershey_font_glyph(font.get(), *it) : nullptr;
        if (g != nullptr && g->width > 0) {
            return g;
        }
        return others != nullptr ? others->glyph(c) : nullptr;
    }
};

// A font read once and kept while the program runs; null when it cannot be read.
const HersheyFont* LoadHershey(const QString& name) {
    static std::map<QString, std::unique_ptr<HersheyFont>> loaded;
    auto& slot = loaded[name];
    if (!slot) {
        const QByteArray file =
            QDir(HersheyFolder()).filePath(name + QStringLiteral(".jhf")).toLocal8Bit();
        std::unique_ptr<hershey_font, HersheyDeleter> font(hershey_jhf_font_load(file.constData()));
        if (!font) {
            return nullptr;
        }
        slot = std::make_unique<HersheyFont>();
        slot->font = std::move(font);
        const Layout* layout = LayoutOf(name);
        for (int code = 32; code < 128; ++code) {
            const char32_t drawn = layout != nullptr ? char32_t(layout->drawn[code - 32])
                                                     : (code < 127 ? char32_t(code) : 0);
            if (drawn != 0) {
                slot->codes.insert(drawn, (unsigned char)(code));
            }
        }
        if (layout != nullptr) {
            slot->others = LoadHershey(QLatin1String(layout->others));
        }
    }
    return slot.get();
}

// One line of glyphs placed from x = 0 on its baseline at y = 0, in surface pixels (y down),
// and how wide it is.
struct Line {
    std::vector<model::Path> paths;
    double width = 0;
};

// Lays out each line with the font, noting what it cannot draw.
class Typesetter {
  public:
    virtual ~Typesetter() = default;
    // The paths of one glyph placed at x on the baseline and its advance; nothing when the
    // font has no glyph for the character.
    virtual std::optional<double> place(char32_t c, double x, std::vector<model::Path>& out) = 0;
};

class HersheyTypesetter : public Typesetter {
  public:
    HersheyTypesetter(const HersheyFont& font, double height)
        : font_(font), scale_(height / kHersheyCapHeight) {}
    std::optional<double> place(char32_t c, double x, std::vector<model::Path>& out) override {
        const hershey_glyph* g = font_.glyph(c);
        if (g == nullptr) {
            return std::nullopt;
        }
        // The library gives x from the glyph's left edge and y up from the baseline.
        for (const hershey_path* p = g->paths; p != nullptr; p = p->next) {
            model::Path path;
            for (int i = 0; i < p->nverts; ++i) {
                path.points.push_back({x + p->verts[i].x * scale_, -p->verts[i].y * scale_});
            }
            out.push_back(std::move(path));
        }
        return g->width * scale_;
    }

  private:
    const HersheyFont& font_;
    double scale_;
};

class OutlineTypesetter : public Typesetter {
  public:
    OutlineTypesetter(const QRawFont& font) : font_(font) {}
    std::optional<double> place(char32_t c, double x, std::vector<model::Path>& out) override {
        if (!font_.supportsCharacter(c)) {
            return std::nullopt;
        }
        const QList<quint32> glyphs = font_.glyphIndexesForString(QString::fromUcs4(&c, 1));
        if (glyphs.size() != 1) {
            return std::nullopt;
        }
        const QList<QPointF> advance = font_.advancesForGlyphIndexes(glyphs);
        // Qt flattens a curve to within half a unit of the space it maps to; at twice the
        // size that is a quarter of a pixel.
        QTransform twice;
        twice.scale(2, 2);
        twice.translate(x, 0);
        for (const QPolygonF& polygon : font_.pathForGlyph(glyphs[0]).toSubpathPolygons(twice)) {
            model::Path path;
            path.closed = true;
            for (const QPointF& p : polygon) {
                path.points.push_back({p.x() / 2, p.y() / 2});
            }
            out.push_back(std::move(path));
        }
        return advance.value(0).x();
    }

  private:
    QRawFont font_;
};

// The outline font at the pixel size whose capitals are `height` high.
QRawFont OutlineFont(const QString& family, double height) {
    QFont font(family);
    font.setPixelSize(100);
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) {
        return raw;
    }
    const double cap = raw.capHeight() > 0 ? raw.capHeight() : raw.ascent() * 0.7;
    raw.setPixelSize(100 * height / cap);
    return raw;
}

// Whether every point lies on the surface, where the join keeps it where it is.
bool OnSurface(const std::vector<model::Path>& paths) {
    const auto on = [](double v) { return v >= model::kMinUnit && v <= model::kMaxUnit; };
    return std::all_of(paths.begin(), paths.end(), [&on](const model::Path& path) {
        return std::all_of(path.points.begin(), path.points.end(),
                           [&on](const model::PathPoint& p) { return on(p.x) && on(p.y); });
    });
}

// Why a text that runs off the surface is not joined; `fitting` says the height that fits
// ("%1") as the reader sets it.
QString OffSurfaceWarning(const OffSurface& off, const QString& fitting) {
    if (off.fittingHeight == 0) {
        return QCoreApplication::translate(
                   "formats::text", "Текст выходит за край поверхности даже при высоте %1 пикс.")
            .arg(kMinTextHeight);
    }
    return QCoreApplication::translate(
               "formats::text",
               "При высоте %1 пикс. текст выходит за край поверхности; наибольшая высота, при "
               "которой он помещается: %2")
        .arg(off.height)
        .arg(fitting.arg(off.fittingHeight));
}

// What is said about a result; `fitting` names the height that fits ("%1") as the reader sets
// it: the dialog's height in pixels, or the command line's --height.
QString Warning(const TextResult& r, const QString& fitting) {
    if (!r.layout.error.isEmpty()) {
        return r.layout.error;
    }
    QStringList said;
    if (!r.layout.missing.isEmpty()) {
        QStringList each;
        for (const char32_t c : r.layout.missing.toUcs4()) {
            each << QString::fromUcs4(&c, 1);
        }
        said << QCoreApplication::translate("formats::text", "В шрифте нет букв: %1.")
                    .arg(each.join(QStringLiteral(", ")));
    }
    const model::JoinedContour& c = r.contour;
    if (r.offSurface) {
        said << OffSurfaceWarning(*r.offSurface, fitting);
    } else if (c.needed == 0) {
        // Letters the font lacks are the reason when they are all there is.
        if (said.isEmpty()) {
            said << QCoreApplication::translate("formats::text", "Нечего рисовать: введите текст.");
        }
    } else if (!c.fits()) {
        said << (r.fittingSpacing > 0
                     ? QCoreApplication::translate("formats::text",
                                                   "Нужно %1 точек, а контур вмещает не более %2.")
                           .arg(c.needed)
                           .arg(model::kMaxContourPoints)
                     : QCoreApplication::translate(
                           "formats::text", "Не помещается даже при шаге 30: уменьшите текст."));
    }
    return said.join(QLatin1Char('\n'));
}

}  // namespace

std::vector<TextFont> TextFonts() {
    QStringList names;
    for (const QString& file :
         QDir(HersheyFolder()).entryList({QStringLiteral("*.jhf")}, QDir::Files, QDir::Name)) {
        names << file.chopped(4);
    }
    std::vector<TextFont> fonts;
    for (const Title& t : kTitles) {
        if (names.removeOne(QLatin1String(t.font))) {
            fonts.push_back({QLatin1String(t.font), false,
                             QCoreApplication::translate("formats::TextFonts", t.title)});
        }
    }
    // A font of the folder that the table does not know, under its file's name.
    for (const QString& name : names) {
        fonts.push_back({name, false, name});
    }
    for (const QString& family : QFontDatabase::families()) {
        fonts.push_back({family, true, family});
    }
    return fonts;
}

std::optional<TextFont> FindTextFont(const QString& name) {
    std::optional<TextFont> found;
    for (const TextFont& font : TextFonts()) {
        if (font.name.compare(name, Qt::CaseInsensitive) == 0) {
            if (font.name == name) {
                return font;
            }
            found = found ? found : font;
        }
    }
    return found;
}

QString TextSample(const TextFont& font) {
    const bool cyrillic = !font.outline && LayoutOf(font.name) != nullptr;
    // A sample of the letters the font draws, not a text of the window: Cyrillic where it has
    // them, in every language.
    return cyrillic ? QStringLiteral("Лазер") : QStringLiteral("Laser");
}

TextLayout LayOutText(const TextOptions& o) {
    TextLayout result;
    std::unique_ptr<Typesetter> typesetter;
    if (o.font.outline) {
        const QRawFont raw = OutlineFont(o.font.name, o.height);
        if (!raw.isValid()) {
            result.error = QCoreApplication::translate("formats::text", "Шрифт «%1» не читается.")
                               .arg(o.font.name);
            return result;
        }
        typesetter = std::make_unique<OutlineTypesetter>(raw);
    } else {
        const HersheyFont* font = LoadHershey(o.font.name);
        if (font == nullptr) {
            result.error = QCoreApplication::translate("formats::text", "Шрифт «%1» не читается.")
                               .arg(o.font.name);
            return result;
        }
        typesetter = std::make_unique<HersheyTypesetter>(*font, o.height);
    }

    std::vector<Line> lines;
    QSet<char32_t> missing;
    for (const QString& text : o.text.split(QLatin1Char('\n'))) {
        Line line;
        double x = 0;
        bool any = false;
        for (const char32_t c : text.toUcs4()) {
            if (c == U'\r') {
                continue;
            }
            if (const auto advance = typesetter->place(c, x, line.paths)) {
                x += *advance + o.letterSpacing;
                any = true;
            } else if (c == U' ') {
                x += o.height / 3 + o.letterSpacing;  // a font without a space
            } else if (!missing.contains(c)) {
                missing.insert(c);
                result.missing += QString::fromUcs4(&c, 1);
            }
        }
        line.width = any ? x - o.letterSpacing : 0;
        lines.push_back(std::move(line));
    }

    // The block: lines one under the other, each aligned in the width of the widest.
    double width = 0;
    for (const Line& line : lines) {
        width = std::max(width, line.width);
    }
    const double step = o.lineSpacing * o.height;
    const double share = o.align == TextAlign::Left ? 0 : o.align == TextAlign::Centre ? 0.5 : 1;
    // The block's point that goes to the place: on the first baseline, or the block's centre.
    QPointF anchor(width * share, 0);
    QPointF place = o.at.value_or(QPointF(model::kCentrePixel, model::kCentrePixel));
    if (!o.at) {
        anchor = QPointF(width / 2, ((double(lines.size()) - 1) * step - o.height) / 2);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const double dx = place.x() - anchor.x() + (width - lines[i].width) * share;
        const double dy = place.y() - anchor.y() + double(i) * step;
        for (model::Path& path : lines[i].paths) {
            for (model::PathPoint& p : path.points) {
                p = {(p.x + dx - model::kCentrePixel) * model::kUnitsPerPixel,
                     (p.y + dy - model::kCentrePixel) * model::kUnitsPerPixel};
            }
            result.paths.push_back(std::move(path));
        }
    }
    return result;
}

int LargestFittingHeight(const TextOptions& options) {
    const auto fits = [&options](int height) {
        TextOptions o = options;
        o.height = height;
        return OnSurface(LayOutText(o).paths);
    };
    // As the height grows every point moves away from the text's place (in proportion, but
    // for the letter spacing), so the heights that fit run from the smallest up to the one
    // sought, and halving the range finds it in ten layouts. (Letters pushed into each other
    // by a negative spacing may fit at a larger height and not at a smaller one; the height
    // found still fits.)
    if (!fits(kMinTextHeight)) {
        return 0;
    }
    int fitting = kMinTextHeight;
    int over = kMaxTextHeight + 1;
    while (over - fitting > 1) {
        const int mid = (fitting + over) / 2;
        if (fits(mid)) {
            fitting = mid;
        } else {
            over = mid;
        }
    }
    return fitting;
}

TextResult TextAndJoin(const TextOptions& options, int spacing,
                       const std::vector<model::ContourPoint>& before,
                       const std::vector<model::PointStyle>& beforeStyles,
                       model::PointStyle style) {
    TextResult r;
    r.layout = LayOutText(options);
    for (model::Path& p : r.layout.paths) {
        p.style = style;
    }
    if (r.layout.paths.empty()) {
        return r;
    }
    if (!OnSurface(r.layout.paths)) {
        r.offSurface = OffSurface{options.height, LargestFittingHeight(options)};
        return r;
    }
    r.contour = model::JoinPathsInOrder(r.layout.paths, spacing, before, beforeStyles);
    if (!r.contour.fits()) {
        r.fittingSpacing = model::SmallestFittingSpacing(
            [&](int s) { return model::JoinPathsInOrder(r.layout.paths, s, before).fits(); },
            spacing + 1);
    }
    return r;
}

QString TextWarning(const TextResult& r) {
    return Warning(r, QCoreApplication::translate("formats::text", "%1 пикс."));
}

Import ImportText(const TextOptions& options, int spacing) {
    const TextResult r = TextAndJoin(options, spacing);
    Import in;
    if (!r.layout.error.isEmpty() || !r.layout.missing.isEmpty() || r.contour.needed == 0) {
        in.error = Warning(r, QStringLiteral("%1 (--height %1)."));
        return in;
    }
    if (r.contour.fits()) {
        in.points = r.contour.points;
        in.styles = r.contour.styles;
        return in;
    }
    return SpacingOffer([&r](int s) { return model::JoinPathsInOrder(r.layout.paths, s); }, spacing,
                        r.fittingSpacing, TextWarning(r));
}

}  // namespace formats
