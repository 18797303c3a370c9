#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/application.h"
#include "formats/imports.h"
#include "model/path_join.h"
#include "support/geometry.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"

using testing_support::PolylineDistance;
using testing_support::SegmentDistance;
using window::MessageButton;
using window::MessageType;

namespace {

struct Svg {
    QTemporaryDir dir;
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    Svg() { w->BaseForm->setDialogs(&dialogs); }
    editor::Editor& ed() { return w->BaseForm->editor(); }
    int count() { return ed().state().PointCount; }
    // Point i in surface pixels, with the fraction.
    QPointF at(int i) {
        const model::Contour& c = ed().contour();
        return {c.Slot(2 * i) / 5e6 + 192, c.Slot(2 * i + 1) / 5e6 + 192};
    }
    QString write(const char* name, const QByteArray& text) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        testing_support::WriteFile(path, text);
        return path;
    }
    void import(const QString& path) {
        dialogs.fileAnswers = {path};
        w->BaseForm->action(QStringLiteral("ItemImportSvg"))->trigger();
    }
};

// The drawing: 200 by 100 with a square viewBox, so preserveAspectRatio's default (centred,
// whole) puts the viewBox at x 50..150 of the document. Fitted into pixels 0..383, the document
// scales by 383 / 200 and sits 95.75 pixels down.
const char kDrawing[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100"
     viewBox="0 0 100 100">
  <rect x="10" y="10" width="30" height="20" fill="none" stroke="black"/>
  <circle cx="70" cy="25" r="15" fill="red"/>
  <path d="M 10 60 C 30 40, 50 90, 70 60" fill="none" stroke="blue"/>
  <g transform="translate(75 75) rotate(30) scale(2 1)">
    <rect x="-5" y="-5" width="10" height="10" fill="green"/>
  </g>
  <rect x="0" y="85" width="8" height="8" style="display:none"/>
  <circle cx="30" cy="90" r="5" visibility="hidden"/>
  <path d="M 40 95 L 60 95" fill="none" stroke="none"/>
</svg>)svg";

QPointF ToSurface(double x, double y) {
    return {(50 + x) * 1.915, 95.75 + y * 1.915};
}

// The true shapes, each as a dense polyline in surface pixels.
std::vector<std::vector<QPointF>> TrueShapes() {
    const auto rect = [](double x, double y, double w, double h) {
        return std::vector<QPointF>{ToSurface(x, y), ToSurface(x + w, y), ToSurface(x + w, y + h),
                                    ToSurface(x, y + h), ToSurface(x, y)};
    };
    std::vector<QPointF> circle, curve, group;
    const double pi = std::acos(-1.0);
    for (int i = 0; i <= 2000; ++i) {
        const double a = 2 * pi * i / 2000;
        circle.push_back(ToSurface(70 + 15 * std::cos(a), 25 + 15 * std::sin(a)));
        const double t = i / 2000.0;
        const double u = 1 - t;
        const auto bez = [&](double p0, double p1, double p2, double p3) {
            return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
        };
        curve.push_back(ToSurface(bez(10, 30, 50, 70), bez(60, 40, 90, 60)));
    }
    // Scaled by (2, 1), turned by 30 degrees, moved to (75, 75).
    const double c = std::cos(pi / 6);
    const double s = std::sin(pi / 6);
    for (const auto& [lx, ly] : {std::pair{-5, -5}, {5, -5}, {5, 5}, {-5, 5}, {-5, -5}}) {
        const double x = 2.0 * lx;
        const double y = 1.0 * ly;
        group.push_back(ToSurface(75 + c * x - s * y, 75 + s * x + c * y));
    }
    return {rect(10, 10, 30, 20), circle, curve, group};
}

}  // namespace

// The user's path: File, Import SVG, a drawing of four shapes becomes one contour. The
// whole page fills the surface, as worked out above.
TEST(SvgImport, EveryPointLiesOnTheDrawingOrOnAJumpBetweenItsPaths) {
    Svg t;
    t.ed().state().PointCount = 3;
    t.ed().settings().ScrollBarFriqPoints = 4;
    t.dialogs.optionAnswers = {{true, true}};
    t.import(t.write("logo.svg", kDrawing));
    ASSERT_EQ(t.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(t.dialogs.fileDialogs[0].filter, QStringLiteral("SVG (*.svg)|*.svg"));
    EXPECT_TRUE(t.dialogs.messages.empty());
    ASSERT_GT(t.count(), 50);

    const auto shapes = TrueShapes();
    const auto distance = [&](QPointF p) { return PolylineDistance(p, shapes); };
    // Points off the drawing are jump fills: they lie on the straight line between the last
    // point of one path and the first of the next.
    const int n = t.count();
    EXPECT_LE(distance(t.at(0)), 1.0);
    EXPECT_LE(distance(t.at(n - 1)), 1.0);
    for (int i = 1; i < n - 1; ++i) {
        if (distance(t.at(i)) <= 1.0) {
            continue;
        }
        int before = i - 1;
        int after = i + 1;
        while (after < n && distance(t.at(after)) > 1.0) {
            ++after;
        }
        ASSERT_LT(after, n);
        // At most one fill point per spacing of the jump, each on its line.
        const QPointF jump = t.at(after) - t.at(before);
        EXPECT_LE(after - before - 1, std::hypot(jump.x(), jump.y()) / 4) << i;
        for (int j = before + 1; j < after; ++j) {
            EXPECT_LE(SegmentDistance(t.at(j), t.at(before), t.at(after)), 1.0) << j;
        }
        i = after;
    }
    // Nothing of the drawing is lost: every part of each shape has a point near it.
    for (const auto& shape : shapes) {
        for (size_t k = 0; k < shape.size(); k += std::max<size_t>(1, shape.size() / 40)) {
            double nearest = 1e9;
            for (int i = 0; i < n; ++i) {
                const QPointF d = t.at(i) - shape[k];
                nearest = std::min(nearest, std::hypot(d.x(), d.y()));
            }
            EXPECT_LE(nearest, 4.0 + 1.0) << shape[k].x() << "," << shape[k].y();
        }
    }
    // Four paths: the hidden ones and the one painted neither way stay out.
    const auto panel = [&](int i) { return t.w->BaseForm->statusPanels()->panelText(i); };
    EXPECT_EQ(panel(editor::kPanelSpare), QStringLiteral("Линий 4"));
    EXPECT_EQ(panel(editor::kPanelLength), QStringLiteral("Leng: %1").arg(n));
    EXPECT_TRUE(panel(editor::kPanelDot).startsWith(QStringLiteral("Скачки ")));
    EXPECT_EQ(panel(editor::kPanelTool), QStringLiteral("Select Dots"));

    t.ed().SpeedButtonUndoClick();
    EXPECT_EQ(t.count(), 3);
}

// A drawing longer than the pen's spacing allows is offered the smallest spacing that fits.
// One zigzag at one pixel per unit: 11 rows of 383 pixels and 10 steps of 10; corners stay, so
// at spacing s it takes 1 + 11 * ceil(383 / s) + 10 * ceil(10 / s) points: 4314 at 1, 2163 at 2,
// 1449 at 3. The drawing, 383 by 100, is centred on the surface: 141.5 pixels down.
TEST(SvgImport, ALongDrawingIsOfferedTheSmallestSpacingThatFits) {
    Svg t;
    t.ed().settings().ScrollBarFriqPoints = 1;
    QByteArray d = "M 0 0";
    for (int row = 0; row < 11; ++row) {
        d += row % 2 == 0 ? " H 383" : " H 0";
        if (row < 10) {
            d += " V " + QByteArray::number((row + 1) * 10);
        }
    }
    const QString file =
        t.write("zigzag.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="383" height="383">)"
                              R"(<path fill="none" stroke="red" d=")" +
                                  d + R"("/></svg>)");
    t.dialogs.messageAnswers = {MessageButton::Cancel};
    t.import(file);
    EXPECT_EQ(t.count(), 0);
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.messages[0].type, MessageType::Confirmation);
    EXPECT_EQ(t.dialogs.messages[0].defaultButton, MessageButton::Ok);
    EXPECT_TRUE(t.dialogs.messages[0].text.contains(QStringLiteral("шагом 3 пикс.")));

    t.dialogs.messageAnswers = {MessageButton::Ok};
    t.import(file);
    // The zigzag's 1449 points and its start once more, dark, for the way back.
    EXPECT_EQ(t.count(), 1450);
    EXPECT_EQ(t.at(0), QPointF(0, 141.5));
    EXPECT_EQ(t.at(1), QPointF(0, 141.5));
    EXPECT_EQ(t.at(1449), QPointF(383, 241.5));
}

TEST(SvgImport, AFileThatCannotBeReadChangesNothingAndSaysWhy) {
    struct Row {
        const char* name;
        QByteArray text;  // empty: no such file
        QString reason;
    };
    const std::vector<Row> rows{
        {"missing.svg", {}, QStringLiteral("Не удаётся прочитать файл")},
        {"cut.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 10 10"><rect )",
         QStringLiteral("повреждён")},
        {"text.svg", "just some words", QStringLiteral("повреждён")},
        {"hidden.svg",
         R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 10 10">)"
         R"(<rect width="5" height="5" display="none"/></svg>)",
         QStringLiteral("нет ни одной линии")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Svg t;
        t.ed().state().PointCount = 2;
        const QString path =
            r.text.isEmpty() ? t.dir.filePath(QString::fromUtf8(r.name)) : t.write(r.name, r.text);
        t.import(path);
        EXPECT_EQ(t.count(), 2);
        ASSERT_EQ(t.dialogs.messages.size(), 1u);
        EXPECT_EQ(t.dialogs.messages[0].type, MessageType::Error);
        EXPECT_TRUE(t.dialogs.messages[0].text.contains(path));
        EXPECT_TRUE(t.dialogs.messages[0].text.contains(r.reason))
            << t.dialogs.messages[0].text.toStdString();
    }
}

namespace {

// A rect 40 by 20 units in a corner of a page 1000 units square: at 0.383 pixels to the unit
// when the page fills the surface, from (3.83, 3.83) to (19.15, 11.49).
const char kCorner[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="1000" height="1000">
  <rect x="10" y="10" width="40" height="20" fill="green"/></svg>)";

// A small square wholly under a disc painted after it.
const char kHidden[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100">
  <rect x="40" y="40" width="20" height="20" fill="none" stroke="black"/>
  <circle cx="50" cy="50" r="30" fill="blue"/></svg>)";

}  // namespace

// The import's options are a row of check boxes in its file dialog, which starts as the last
// accepted one left them; a file opened from outside is read with them too.
TEST(SvgImport, TheOptionsRowIsRememberedAndHoldsForFilesOpenedFromOutside) {
    Svg t;
    const QString corner = t.write("corner.svg", kCorner);
    const QString hidden = t.write("hidden.svg", kHidden);
    const auto inCorner = [&] {
        for (int i = 0; i < t.count(); ++i) {
            const QPointF p = t.at(i);
            if (p.x() < 3.8 || p.x() > 19.2 || p.y() < 3.8 || p.y() > 11.5) {
                return false;
            }
        }
        return t.count() > 0;
    };
    const auto lines = [&] {
        return t.w->BaseForm->statusPanels()->panelText(editor::kPanelSpare);
    };

    t.dialogs.optionAnswers = {{true, true}};
    t.import(corner);
    ASSERT_EQ(t.dialogs.fileDialogs.size(), 1u);
    const std::vector<window::DialogOption>& first = t.dialogs.fileDialogs[0].options;
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].text, QStringLiteral("Только видимые линии"));
    EXPECT_TRUE(first[0].checked);
    EXPECT_EQ(first[1].text, QStringLiteral("Вся страница"));
    EXPECT_FALSE(first[1].checked);
    EXPECT_TRUE(inCorner());

    // Cancelled, the dialog leaves them as they were; a file named at the start takes them.
    t.dialogs.fileAnswers = {std::nullopt};
    t.w->BaseForm->action(QStringLiteral("ItemImportSvg"))->trigger();
    ASSERT_EQ(t.dialogs.fileDialogs.size(), 2u);
    EXPECT_TRUE(t.dialogs.fileDialogs[1].options[0].checked);
    EXPECT_TRUE(t.dialogs.fileDialogs[1].options[1].checked);
    t.ed().state().PointCount = 0;
    t.w->BaseForm->opener().OpenFile(corner);
    EXPECT_TRUE(inCorner());

    // Every line: the hidden square comes in beside the disc.
    t.dialogs.optionAnswers = {{false, false}};
    t.import(hidden);
    EXPECT_EQ(lines(), QStringLiteral("Линий 2"));
    t.dialogs.optionAnswers = {{true, false}};
    t.import(corner);
    EXPECT_FALSE(inCorner());
    t.w->BaseForm->opener().OpenFile(hidden);
    EXPECT_EQ(lines(), QStringLiteral("Линий 1"));
}

// Nothing but the file itself is read. Each drawing names a FIFO that nobody writes: a reader
// that opened it would wait for ever. Should one, the test opens the FIFO's other end so that
// it ends.
TEST(SvgImport, OtherFilesTheDrawingNamesAreNeverOpened) {
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    const QByteArray rect = R"(<rect x="10" y="10" width="50" height="50" fill="red"/>)";
    const QByteArray open = R"(<svg xmlns="http://www.w3.org/2000/svg" )"
                            R"(xmlns:xlink="http://www.w3.org/1999/xlink" width="100" )"
                            R"(height="100">)";
    struct Row {
        const char* name;
        QByteArray svg;
    };
    const std::vector<Row> rows{
        {"a picture", open + R"(<image width="50" height="50" xlink:href=")" + fifo + R"("/>)" +
                          rect + "</svg>"},
        {"a style sheet",
         R"(<?xml-stylesheet type="text/css" href=")" + fifo + R"("?>)" + open + rect + "</svg>"},
        {"a clipped picture", open + R"(<clipPath id="c"><rect width="100" height="100"/>)" +
                                  R"svg(</clipPath><g clip-path="url(#c)"><image width="5" )svg" +
                                  R"(height="5" xlink:href=")" + fifo + R"("/>)" + rect +
                                  "</g></svg>"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString name = dir.filePath(QStringLiteral("drawing.svg"));
        testing_support::WriteFile(name, r.svg);
        auto import =
            std::async(std::launch::async, [&] { return formats::ImportSvgFile(name, 15); });
        if (import.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the import opened the FIFO";
            const int end = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (end >= 0) {
                ::close(end);
            }
        }
        const formats::Import in = import.get();
        EXPECT_TRUE(in.error.isEmpty()) << in.error.toStdString();
        EXPECT_FALSE(in.points.empty());
    }
}

// The files of Debian's clip art named when the import was mended (one gave paths of a single
// point, five were offered a wrong spacing or none, four filled with a pattern were refused for
// having no line), read from the package and with the options both as they start and with every
// line of the whole page: each comes in, no path has fewer than two distinct points, and the
// smallest spacing that fits is the one found by trying every spacing. A shape filled with a
// pattern that fills the page gives its outline: the square round the surface.
TEST(SvgImport, RealClipArtIsOfferedTheSpacingFoundByTryingEachOne) {
    const QString root = QStringLiteral("/usr/share/openclipart/svg/");
    if (!QFileInfo(root).isDir()) {
        GTEST_SKIP() << "openclipart-svg is not installed";
    }
    pictures::SvgOptions every;
    every.visibleOnly = false;
    every.wholePage = true;
    struct Row {
        const char* file;
        bool square = false;
    };
    const std::vector<QPointF> square{{0, 0}, {383, 0}, {383, 383}, {0, 383}, {0, 0}};
    for (const Row& row : std::initializer_list<Row>{
             {"transportation/redcar_marcelo_caiafa_.svg"},
             {"transportation/boating/boating_rules5.svg"},
             {"food/vegetables/pannocchia_di_gran_turc_01.svg"},
             {"unsorted/spaventapasseri.svg"},
             {"signs_and_symbols/flags/europe/france/st_pierre_miquelon_patri_01.svg"},
             {"signs_and_symbols/flags/oceania/micronesia/northern_mariana.svg"},
             {"special/patterns/pattern-chevrons-2.svg", true},
             {"special/patterns/pattern-diamond-squares-3.svg", true},
             {"special/patterns/pattern-parquet-3.svg", true},
             {"special/patterns/pattern-warning-3.svg", true},
         }) {
        const char* file = row.file;
        EXPECT_EQ(formats::ImportSvgFile(root + QLatin1String(file), 15).error.toStdString(), "")
            << file;
        for (const pictures::SvgOptions& options : {pictures::SvgOptions{}, every}) {
            SCOPED_TRACE(testing::Message() << file << (options.wholePage ? " whole page" : ""));
            QFile f(root + QLatin1String(file));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const pictures::SvgDrawing d = pictures::ReadSvg(f.readAll(), options);
            ASSERT_TRUE(d.ok());
            ASSERT_FALSE(d.paths.empty());
            for (const model::Path& p : d.paths) {
                ASSERT_GE(p.points.size(), 2u);
                for (size_t i = 1; i < p.points.size(); ++i) {
                    EXPECT_GE(std::hypot(p.points[i].x - p.points[i - 1].x,
                                         p.points[i].y - p.points[i - 1].y),
                              0.01 * model::kUnitsPerPixel);
                }
            }
            if (row.square) {
                ASSERT_EQ(d.paths.size(), 1u);
                EXPECT_TRUE(d.paths[0].closed);
                std::vector<QPointF> got;
                for (const model::PathPoint& q : d.paths[0].points) {
                    got.push_back({q.x / model::kUnitsPerPixel + model::kCentrePixel,
                                   q.y / model::kUnitsPerPixel + model::kCentrePixel});
                    EXPECT_LE(PolylineDistance(got.back(), square), 0.01);
                }
                for (const QPointF corner : square) {
                    EXPECT_LE(PolylineDistance(corner, got), 0.01);
                }
            }
            for (int from : {1, 2, 15}) {
                int tried = 0;
                for (int s = from; s <= 30 && tried == 0; ++s) {
                    tried = model::JoinPaths(d.paths, s).fits() ? s : 0;
                }
                EXPECT_EQ(model::SmallestFittingSpacing(d.paths, from), tried) << from;
            }
        }
    }
}
