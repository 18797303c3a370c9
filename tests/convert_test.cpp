#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <cmath>

#include "app/application.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"

using testing_support::ContourFileOf;
using testing_support::PixelsOfContourFile;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::Texts;
using testing_support::WriteFile;

namespace {

// A folder of files for the program to convert.
struct Folder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const { WriteFile(path(name), bytes); }
    testing_support::ProgramRun run(const QStringList& arguments,
                                    Texts texts = Texts::Russian) const {
        return RunProgram(arguments, dir.path(), false, texts);
    }
};

// A legacy file of the given (x, y) bytes, the rest of its 256 points filler 127.
QByteArray LegacyFileOf(const std::vector<std::pair<int, int>>& bytes) {
    QByteArray file(2048, char(127));
    for (size_t i = 0; i < bytes.size(); ++i) {
        file[qsizetype(i)] = char(bytes[i].first);
        file[qsizetype(1024 + i)] = char(bytes[i].second);
    }
    return file;
}

// The main window of a fresh editor with its dialogs answered by a script.
struct Editor {
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    Editor() { w->BaseForm->setDialogs(&dialogs); }
    void trigger(const char* name) { w->BaseForm->action(QString::fromUtf8(name))->trigger(); }
};

}  // namespace

TEST(FileConversion, ContourThroughIldaAndBackStaysWithinOnePixel) {
    Folder f;
    const std::vector<std::pair<int, int>> heart = {{192, 120}, {230, 80}, {290, 100}, {300, 170},
                                                    {192, 300}, {84, 170}, {0, 0},     {383, 383}};
    f.write(QStringLiteral("heart.ilz"), ContourFileOf(heart));

    const auto there = f.run(
        {QStringLiteral("--convert"), QStringLiteral("heart.ilz"), QStringLiteral("heart.ild")});
    EXPECT_EQ(there.exitCode, 0) << there.err.toStdString();
    EXPECT_EQ(there.err, QString());
    const auto back = f.run(
        {QStringLiteral("--convert"), QStringLiteral("heart.ild"), QStringLiteral("back.ilz")});
    EXPECT_EQ(back.exitCode, 0) << back.err.toStdString();

    const auto points = PixelsOfContourFile(ReadFile(f.path(QStringLiteral("back.ilz"))));
    ASSERT_EQ(points.size(), heart.size());
    for (size_t i = 0; i < heart.size(); ++i) {
        EXPECT_LE(std::abs(points[i].first - heart[i].first), 1.0) << "point " << i;
        EXPECT_LE(std::abs(points[i].second - heart[i].second), 1.0) << "point " << i;
    }
}

TEST(FileConversion, OutputsAreTheFilesTheEditorWrites) {
    Folder f;
    QDir(f.dir.path()).mkdir(QStringLiteral("editor"));
    f.write(QStringLiteral("old.plz"), LegacyFileOf({{10, 20}, {250, 30}, {127, 240}}));
    f.write(QStringLiteral("heart.ilz"), ContourFileOf({{100, 100}, {200, 150}, {300, 300}}));
    ASSERT_EQ(
        f.run({QStringLiteral("--convert"), QStringLiteral("old.plz"), QStringLiteral("old.ilz")})
            .exitCode,
        0);
    ASSERT_EQ(
        f.run({QStringLiteral("--convert"), QStringLiteral("heart.ilz"),
               QStringLiteral("heart.ild"), QStringLiteral("--ilda-format"), QStringLiteral("1")})
            .exitCode,
        0);

    // The editor imports the legacy file and saves it; it opens the contour file and exports
    // it to ILDA with indexed colours, under the same name in another folder.
    Editor e;
    e.dialogs.fileAnswers = {f.path(QStringLiteral("old.plz")),
                             f.path(QStringLiteral("editor/old.ilz"))};
    e.trigger("ItemImport");
    e.trigger("SaveAsItem");
    EXPECT_EQ(ReadFile(f.path(QStringLiteral("old.ilz"))),
              ReadFile(f.path(QStringLiteral("editor/old.ilz"))));

    e.dialogs.fileAnswers = {f.path(QStringLiteral("heart.ilz")),
                             f.path(QStringLiteral("editor/heart.ild"))};
    e.dialogs.filterAnswers = {1, 2};
    e.trigger("OpenFileItem");
    e.trigger("ItemExportIlda");
    const QByteArray ilda = ReadFile(f.path(QStringLiteral("heart.ild")));
    EXPECT_EQ(ilda.size(), 32 + 3 * 6 + 32);
    EXPECT_EQ(ilda, ReadFile(f.path(QStringLiteral("editor/heart.ild"))));
    EXPECT_TRUE(e.dialogs.messages.empty());
}

TEST(FileConversion, SvgIsThePathThroughTheSurfacePixelsInTheLineColour) {
    Folder f;
    // Legacy byte b is the surface pixel 192 + (b - 127) * 1.5, exactly.
    f.write(QStringLiteral("star.plz"), LegacyFileOf({{127, 127}, {137, 107}, {128, 0}}));
    const auto run = f.run(
        {QStringLiteral("--convert"), QStringLiteral("star.plz"), QStringLiteral("star.svg")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray svg = ReadFile(f.path(QStringLiteral("star.svg")));

    QSvgRenderer renderer(svg);
    EXPECT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 384, 384));

    QXmlStreamReader xml(svg);
    QStringList paths;
    QString stroke;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("path")) {
            paths << xml.attributes().value(QLatin1String("d")).toString();
            stroke = xml.attributes().value(QLatin1String("stroke")).toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    ASSERT_EQ(paths.size(), 1);
    EXPECT_EQ(stroke, QStringLiteral("#008000"));  // the default line colour, green
    // An import counts 255 of the 256 points; the filler ones sit at the centre.
    const QStringList d = paths[0].split(QLatin1Char(' '));
    ASSERT_EQ(d.size(), 2 * 255);
    EXPECT_EQ(d.mid(0, 6), (QStringList{QStringLiteral("M192"), QStringLiteral("192"),
                                        QStringLiteral("L207"), QStringLiteral("162"),
                                        QStringLiteral("L193.5"), QStringLiteral("1.5")}));
    EXPECT_EQ(d.mid(6, 2), (QStringList{QStringLiteral("L192"), QStringLiteral("192")}));
}

// The SVG import's options from the command line, as the window's check boxes give them. The
// drawing: a rect 40 by 20 units in the corner of a page 1000 units square, and a small square
// wholly under a disc painted after it.
TEST(FileConversion, SvgInputsTakeTheImportsOptions) {
    Folder f;
    f.write(QStringLiteral("corner.svg"),
            R"(<svg xmlns="http://www.w3.org/2000/svg" width="1000" height="1000">)"
            R"(<rect x="10" y="10" width="40" height="20" fill="green"/>)"
            R"(<rect x="12" y="12" width="2" height="2" fill="none" stroke="red"/>)"
            R"(<circle cx="13" cy="13" r="1.5" fill="blue"/></svg>)");
    const auto points = [&](const QStringList& options) {
        EXPECT_EQ(f.run(QStringList{QStringLiteral("--convert"), QStringLiteral("corner.svg"),
                                    QStringLiteral("out.ilz")} +
                        options)
                      .exitCode,
                  0);
        return PixelsOfContourFile(ReadFile(f.path(QStringLiteral("out.ilz"))));
    };
    // Filling the surface, the rect runs from x 0 to 383, 9.575 pixels to the unit; the square
    // under the disc, from x 19.15 to 38.3, comes in only with --all-lines.
    const auto inSquare = [](const std::pair<double, double>& p) {
        return p.first > 19 && p.first < 38.5 && p.second > 114 && p.second < 134;
    };
    const auto wide = points({});
    ASSERT_FALSE(wide.empty());
    EXPECT_NEAR(std::min_element(wide.begin(), wide.end())->first, 0, 0.5);
    EXPECT_NEAR(std::max_element(wide.begin(), wide.end())->first, 383, 0.5);
    EXPECT_EQ(std::count_if(wide.begin(), wide.end(), inSquare), 0);
    const auto all = points({QStringLiteral("--all-lines")});
    EXPECT_GT(std::count_if(all.begin(), all.end(), inSquare), 0);
    // The whole page, 0.383 pixels to the unit: the rect from x 3.83 to 19.15.
    const auto page = points({QStringLiteral("--whole-page")});
    ASSERT_FALSE(page.empty());
    EXPECT_NEAR(std::min_element(page.begin(), page.end())->first, 3.83, 0.5);
    EXPECT_NEAR(std::max_element(page.begin(), page.end())->first, 19.15, 0.5);
}

TEST(CommandLine, UsageErrorsAndUnreadableFilesGiveTheirExitStatus) {
    Folder f;
    const QByteArray heart = ContourFileOf({{100, 100}, {200, 150}});
    f.write(QStringLiteral("heart.ilz"), heart);
    struct Case {
        QStringList arguments;
        int exitCode;
        QString err;  // the start of standard error
    };
    const QString c = QStringLiteral("--convert");
    const QString h = QStringLiteral("heart.ilz");
    const Case cases[] = {
        {{c}, 2, QStringLiteral("quorinimage: --convert needs IN and OUT")},
        {{c, h}, 2, QStringLiteral("quorinimage: --convert needs IN and OUT")},
        {{c, h, h}, 2, QStringLiteral("quorinimage: IN and OUT are the same file")},
        {{c, h, QStringLiteral("./heart.ilz")}, 2, QStringLiteral("quorinimage: IN and OUT")},
        {{c, h, QStringLiteral("heart.txt")}, 2, QStringLiteral("quorinimage: cannot write")},
        {{c, QStringLiteral("photo.jpg"), QStringLiteral("x.ilz")},
         2,
         QStringLiteral("quorinimage: cannot read 'photo.jpg': a picture becomes a contour only "
                        "with --trace")},
        {{c, h, QStringLiteral("x.ild"), QStringLiteral("--ilda-format"), QStringLiteral("4")},
         2,
         QStringLiteral("quorinimage: --ilda-format takes 1 or 5")},
        {{c, h, QStringLiteral("x.ild"), QStringLiteral("--frame"), QStringLiteral("0")},
         2,
         QStringLiteral("quorinimage: --frame takes")},
        {{QStringLiteral("--frame"), QStringLiteral("2"), h},
         2,
         QStringLiteral("quorinimage: --to, --as, --ilda-format and --frame go with --convert")},
        {{c, h, QStringLiteral("--to"), QStringLiteral("out"), QStringLiteral("--as"),
          QStringLiteral("bmp")},
         2,
         QStringLiteral("quorinimage: --as takes ilz, plz, ild or svg")},
        {{c, QStringLiteral("--bogus"), h, QStringLiteral("x.ild")},
         2,
         QStringLiteral("quorinimage: Unknown option 'bogus'")},
        {{c, h, QStringLiteral("no/such/folder/x.ilz")},
         1,
         QStringLiteral("no/such/folder/x.ilz: ")},
        {{c, h, QStringLiteral("no/such/folder/x.ild")},
         1,
         QStringLiteral("no/such/folder/x.ild: Cannot create file no/such/folder/x.ild: ")},
        {{c, h, QStringLiteral("--show"), QStringLiteral("x.ilz")},
         2,
         QStringLiteral("quorinimage: cannot write 'x.ilz': a show is written to .ild")},
        {{c, h, QStringLiteral("--show"), QStringLiteral("x.ild"), QStringLiteral("--to"),
          QStringLiteral("out")},
         2,
         QStringLiteral("quorinimage: --show writes one file")},
        {{c, QStringLiteral("--show"), QStringLiteral("x.ild")},
         2,
         QStringLiteral("quorinimage: --show needs at least one input file")},
        // A show with a frame missing is not written.
        {{c, h, QStringLiteral("missing.ilz"), QStringLiteral("--show"), QStringLiteral("x.ild")},
         1,
         QStringLiteral("missing.ilz: ")},
    };
    // The command line's own messages as they read in English.
    for (const Case& k : cases) {
        const auto run = f.run(k.arguments, Texts::English);
        const std::string what = k.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(run.exitCode, k.exitCode) << what;
        EXPECT_TRUE(run.err.startsWith(k.err)) << what << "\n" << run.err.toStdString();
        EXPECT_EQ(ReadFile(f.path(h)), heart) << what;
        EXPECT_FALSE(QFile::exists(f.path(QStringLiteral("x.ild")))) << what;
        EXPECT_FALSE(QFile::exists(f.path(QStringLiteral("x.ilz")))) << what;
    }
    // A second frame of a file with one is not there.
    ASSERT_EQ(f.run({c, h, QStringLiteral("one.ild")}).exitCode, 0);
    const auto second = f.run({c, QStringLiteral("one.ild"), QStringLiteral("two.ilz"),
                               QStringLiteral("--frame"), QStringLiteral("2")});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_EQ(second.err, QStringLiteral("one.ild: В файле ILDA нет кадра с точками.\n"));
}

TEST(CommandLine, ProblemsReadAsTheEditorShowsThem) {
    Folder f;
    struct Case {
        QString file;
        QByteArray bytes;  // none: no such file
        const char* item;
    };
    const Case cases[] = {
        {QStringLiteral("missing.ilz"), {}, "OpenFileItem"},
        {QStringLiteral("eight.ilz"), QByteArray(8, '\0'), "OpenFileItem"},
        {QStringLiteral("long.ilz"), QByteArray(8194, '\0'), "OpenFileItem"},
        {QStringLiteral("short.plz"), QByteArray(2047, '\0'), "ItemImport"},
        {QStringLiteral("missing.ild"), {}, "ItemImportIlda"},
        {QStringLiteral("text.ild"), QByteArray(40, 'x'), "ItemImportIlda"},
        {QStringLiteral("empty.ild"), QByteArray("ILDA\0\0\0\5", 8) + QByteArray(24, '\0'),
         "ItemImportIlda"},
    };
    for (const Case& k : cases) {
        if (!k.bytes.isEmpty()) {
            f.write(k.file, k.bytes);
        }
        Editor e;
        e.dialogs.fileAnswers = {f.path(k.file)};
        e.trigger(k.item);
        ASSERT_EQ(e.dialogs.messages.size(), 1u) << k.file.toStdString();
        const auto run =
            f.run({QStringLiteral("--convert"), f.path(k.file), f.path(QStringLiteral("out.ilz"))});
        EXPECT_EQ(run.exitCode, 1) << k.file.toStdString();
        EXPECT_FALSE(QFile::exists(f.path(QStringLiteral("out.ilz"))));
        EXPECT_EQ(run.err, f.path(k.file) + QStringLiteral(": ") + e.dialogs.messages[0].text +
                               QLatin1Char('\n'));
    }
}

TEST(CommandLine, BatchConvertsEveryGoodFileAndReportsTheBrokenOne) {
    Folder f;
    f.write(QStringLiteral("a.ilz"), ContourFileOf({{10, 10}, {20, 20}}));
    f.write(QStringLiteral("b.ilz"), QByteArray(5000, 'x'));
    f.write(QStringLiteral("c.plz"), LegacyFileOf({{1, 2}}));
    const auto run =
        f.run({QStringLiteral("--convert"), QStringLiteral("a.ilz"), QStringLiteral("b.ilz"),
               QStringLiteral("c.plz"), QStringLiteral("--to"), QStringLiteral("ilda"),
               QStringLiteral("--as"), QStringLiteral("ild")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QStringLiteral("b.ilz: Файл имеет другой формат!\n"));
    EXPECT_EQ(run.out, QStringLiteral("Преобразовано файлов: 2 из 3, в ilda.\n"));
    EXPECT_EQ(ReadFile(f.path(QStringLiteral("ilda/a.ild"))).size(), 32 + 2 * 8 + 32);
    EXPECT_EQ(ReadFile(f.path(QStringLiteral("ilda/c.ild"))).size(), 32 + 255 * 8 + 32);
    EXPECT_FALSE(QFile::exists(f.path(QStringLiteral("ilda/b.ild"))));

    // Into the inputs' own folder as their own format: nothing is overwritten.
    const auto same =
        f.run({QStringLiteral("--convert"), QStringLiteral("a.ilz"), QStringLiteral("--to"),
               QStringLiteral("."), QStringLiteral("--as"), QStringLiteral("ilz")});
    EXPECT_EQ(same.exitCode, 1);
    EXPECT_EQ(same.err, QStringLiteral("./a.ilz: Это исходный файл: он не перезаписывается.\n"));
}

TEST(CommandLine, HelpVersionAndConversionNeedNoDisplay) {
    Folder f;
    // Help and the usage errors as they read in English.
    const auto help = f.run({QStringLiteral("--help")}, Texts::English);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--convert IN OUT [--ilda-format 1|5]")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--to <dir>")));
    const auto version = f.run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("quorinimage " QUORINIMAGE_VERSION "\n"));
    f.write(QStringLiteral("a.ilz"), ContourFileOf({{10, 10}}));
    EXPECT_EQ(f.run({QStringLiteral("--convert"), QStringLiteral("a.ilz"), QStringLiteral("a.svg")})
                  .exitCode,
              0);
    // The window takes one file; without a display (and the X11 platform asked for) an unknown
    // option is still a usage error, and a file named says how to convert it instead.
    struct Row {
        QStringList arguments;
        bool offscreen;
        QString says;
    };
    for (const Row& r : {Row{{QStringLiteral("a.ilz"), QStringLiteral("a.svg")},
                             true,
                             QStringLiteral("quorinimage: the editor opens one file")},
                         Row{{QStringLiteral("--bogus")},
                             false,
                             QStringLiteral("quorinimage: Unknown option 'bogus'.\nTry")},
                         Row{{QStringLiteral("a.ilz")},
                             false,
                             QStringLiteral("quorinimage --convert a.ilz OUT")}}) {
        const auto run = RunProgram(r.arguments, f.dir.path(), r.offscreen, Texts::English);
        EXPECT_EQ(run.exitCode, 2) << r.arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(r.says)) << run.err.toStdString();
    }
}

// What does not fit as it came: an ILDA frame too long for the contour comes in thinned, as
// the window offers; an SVG drawing that needs a wider spacing names the smallest that fits,
// which then converts while one pixel less does not.
TEST(CommandLine, WhatDoesNotFitIsThinnedOrNamesTheSpacingThatFits) {
    Folder f;
    // A true-colour frame of 3000 points round a circle, the last one marked.
    QByteArray ilda("ILDA\0\0\0\5", 8);
    ilda += QByteArray(16, '\0') + QByteArray::fromHex("0BB8000000010000");
    for (int i = 0; i < 3000; ++i) {
        const double a = 2 * M_PI * i / 3000;
        const auto x = qint16(std::lround(20000 * std::cos(a)));
        const auto y = qint16(std::lround(20000 * std::sin(a)));
        ilda += char(x >> 8) + QByteArray(1, char(x & 0xFF)) + char(y >> 8) +
                QByteArray(1, char(y & 0xFF)) + char(i == 2999 ? 0x80 : 0) + QByteArray(3, '\0');
    }
    f.write(QStringLiteral("long.ild"), ilda);
    const auto thinned = f.run(
        {QStringLiteral("--convert"), QStringLiteral("long.ild"), QStringLiteral("long.ilz")});
    EXPECT_EQ(thinned.exitCode, 0) << thinned.err.toStdString();
    EXPECT_TRUE(thinned.err.startsWith(
        QStringLiteral("long.ild: Кадр 1 содержит 3000 точек, а контур вмещает не более 2041")))
        << thinned.err.toStdString();
    const auto points = PixelsOfContourFile(ReadFile(f.path(QStringLiteral("long.ilz"))));
    EXPECT_GT(points.size(), 1500u);
    EXPECT_LE(points.size(), 2041u);
    for (const auto& [x, y] : points) {
        // Still on the circle: 20000 of 32767 is 117.2 pixels from the centre.
        EXPECT_NEAR(std::hypot(x - 192, y - 192), 117.2, 1.5);
    }

    // A hundred zigzags across the whole page: more than 2041 points at the pen's 15 pixels.
    QString d = QStringLiteral("M0 0");
    for (int i = 1; i <= 100; ++i) {
        d += QStringLiteral(" L%1 %2").arg(i).arg(i % 2 == 0 ? 0 : 100);
    }
    f.write(QStringLiteral("zigzag.svg"),
            QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 100 100\">"
                           "<path d=\"%1\" fill=\"none\" stroke=\"black\"/></svg>")
                .arg(d)
                .toUtf8());
    const QStringList zigzag = {QStringLiteral("--convert"), QStringLiteral("zigzag.svg"),
                                QStringLiteral("zigzag.ild")};
    const auto refused = f.run(zigzag);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(QFile::exists(f.path(QStringLiteral("zigzag.ild"))));
    const QRegularExpressionMatch named =
        QRegularExpression(QStringLiteral("^zigzag.svg: При шаге 15 пикс. рисунку нужно больше "
                                          "2041 точек; .*: (\\d+) \\(--spacing \\1\\)\\.\n$"))
            .match(refused.err);
    ASSERT_TRUE(named.hasMatch()) << refused.err.toStdString();
    const int smallest = named.captured(1).toInt();
    ASSERT_GT(smallest, 15);
    const auto narrower =
        f.run(zigzag + QStringList{QStringLiteral("--spacing"), QString::number(smallest - 1)});
    EXPECT_EQ(narrower.exitCode, 1) << narrower.err.toStdString();
    const auto fits =
        f.run(zigzag + QStringList{QStringLiteral("--spacing"), QString::number(smallest)});
    EXPECT_EQ(fits.exitCode, 0) << fits.err.toStdString();
    // One frame of at most 2041 records between its header and the end-of-file header.
    const qsizetype records = (ReadFile(f.path(QStringLiteral("zigzag.ild"))).size() - 64) / 8;
    EXPECT_GT(records, 1500);
    EXPECT_LE(records, 2041);
}

// The command line's other paths, one row each: the README's --frame, a legacy file in and
// out, two inputs of one base name in a batch, a --to folder that cannot be made, a warning
// with success, and an empty contour to ILDA.
TEST(CommandLine, EachPathGivesItsFilesAndStatus) {
    Folder f;
    // A show of three frames of 1, 2 and 3 points, x = 1000 * frame, y = 100 * point.
    QByteArray show;
    for (int frame = 1; frame <= 3; ++frame) {
        show += QByteArray("ILDA\0\0\0\5", 8) + QByteArray(16, '\0');
        show += char(0) + QByteArray(1, char(frame)) + QByteArray::fromHex("000000030000");
        for (int p = 1; p <= frame; ++p) {
            const int x = 1000 * frame;
            const int y = 100 * p;
            show += char(x >> 8) + QByteArray(1, char(x & 0xFF)) + char(y >> 8) +
                    QByteArray(1, char(y & 0xFF)) + char(p == frame ? 0x80 : 0) +
                    QByteArray(3, '\0');
        }
    }
    show += QByteArray("ILDA\0\0\0\5", 8) + QByteArray(24, '\0');
    f.write(QStringLiteral("show.ild"), show);
    f.write(QStringLiteral("star.plz"), LegacyFileOf({{127, 127}, {137, 107}, {128, 0}}));
    QDir(f.dir.path()).mkpath(QStringLiteral("a"));
    QDir(f.dir.path()).mkpath(QStringLiteral("b"));
    f.write(QStringLiteral("a/x.ilz"), ContourFileOf({{10, 10}}));
    f.write(QStringLiteral("b/x.ilz"), ContourFileOf({{20, 20}}));
    f.write(QStringLiteral("blocker"), "a file where a folder would be");
    std::vector<std::pair<int, int>> long_;
    for (int i = 0; i < 1600; ++i) {
        long_.emplace_back(i % 380, i / 380 * 50);
    }
    f.write(QStringLiteral("long.ilz"), ContourFileOf(long_));
    f.write(QStringLiteral("empty.ilz"), ContourFileOf({}));
    for (const char* name : {"a.svg", "b.svg", "c.svg"}) {
        f.write(QString::fromUtf8(name),
                R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100">)"
                R"(<path d="M10 10 L90 10" fill="none" stroke="black"/></svg>)");
    }

    const QString c = QStringLiteral("--convert");
    struct Row {
        QStringList arguments;
        int exitCode;
        QString err;  // standard error, whole
        QString out;  // standard output, whole
    };
    const Row rows[] = {
        {{c, QStringLiteral("show.ild"), QStringLiteral("frame3.ilz"), QStringLiteral("--frame"),
          QStringLiteral("3")},
         0,
         {},
         {}},
        {{c, QStringLiteral("star.plz"), QStringLiteral("back.plz")}, 0, {}, {}},
        {{c, QStringLiteral("a/x.ilz"), QStringLiteral("b/x.ilz"), QStringLiteral("--to"),
          QStringLiteral("out"), QStringLiteral("--as"), QStringLiteral("ild")},
         1,
         QStringLiteral("out/x.ild: Этот файл уже записан из другого исходного файла.\n"),
         QStringLiteral("Преобразовано файлов: 1 из 2, в out.\n")},
        {{c, QStringLiteral("a/x.ilz"), QStringLiteral("--to"), QStringLiteral("blocker/out"),
          QStringLiteral("--as"), QStringLiteral("ild")},
         1,
         QStringLiteral("blocker/out: Не удаётся создать папку\n"),
         {}},
        {{c, QStringLiteral("long.ilz"), QStringLiteral("long.ild")},
         0,
         QStringLiteral("long.ild: Кадр из 1600 точек при 30000 точек/с показывается 18.8 раз в "
                        "секунду: возможно мерцание (меньше 20 кадров/с).\n"),
         {}},
        {{c, QStringLiteral("empty.ilz"), QStringLiteral("empty.ild")},
         1,
         QStringLiteral("empty.ild: Контур пуст: экспортировать нечего.\n"),
         {}},
        // A frame for each drawing; every frame of a show, beside a contour file's one.
        {{c, QStringLiteral("a.svg"), QStringLiteral("b.svg"), QStringLiteral("c.svg"),
          QStringLiteral("--show"), QStringLiteral("abc.ild")},
         0,
         {},
         {}},
        {{c, QStringLiteral("a/x.ilz"), QStringLiteral("show.ild"), QStringLiteral("--show"),
          QStringLiteral("four.ild")},
         0,
         {},
         {}},
        // A show into a kind of one frame: a file for each frame.
        {{c, QStringLiteral("show.ild"), QStringLiteral("--to"), QStringLiteral("frames"),
          QStringLiteral("--as"), QStringLiteral("ilz")},
         0,
         {},
         QStringLiteral("Преобразовано файлов: 1 из 1, в frames.\n")},
    };
    for (const Row& r : rows) {
        const auto run = f.run(r.arguments);
        const std::string what = r.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(run.exitCode, r.exitCode) << what;
        EXPECT_EQ(run.err, r.err) << what;
        EXPECT_EQ(run.out, r.out) << what;
    }
    // The third frame's three points: x 3000 is 17.6 pixels right of the centre, y up 100,
    // 200, 300 ILDA units of 32767 per 192 pixels.
    const auto frame3 = PixelsOfContourFile(ReadFile(f.path(QStringLiteral("frame3.ilz"))));
    ASSERT_EQ(frame3.size(), 3u);
    for (int p = 0; p < 3; ++p) {
        EXPECT_NEAR(frame3[size_t(p)].first, 192 + 3000 * 192.0 / 32767, 0.5);
        EXPECT_NEAR(frame3[size_t(p)].second, 192 - 100 * (p + 1) * 192.0 / 32767, 0.5);
    }
    // The legacy file comes back byte for byte.
    EXPECT_EQ(ReadFile(f.path(QStringLiteral("back.plz"))),
              ReadFile(f.path(QStringLiteral("star.plz"))));
    EXPECT_FALSE(QFile::exists(f.path(QStringLiteral("empty.ild"))));
    EXPECT_EQ(ReadFile(f.path(QStringLiteral("out/x.ild"))).size(), 32 + 8 + 32);
    // Each header's record count, frame number and total (bytes 24..29), format 5 records.
    const auto headers = [&f](const char* name) {
        const QByteArray file = ReadFile(f.path(QString::fromUtf8(name)));
        std::vector<std::array<int, 3>> found;
        for (qsizetype at = 0; at + 32 <= file.size();) {
            const auto field = [&](int i) {
                return (uint8_t(file[at + i]) << 8) | uint8_t(file[at + i + 1]);
            };
            found.push_back({field(24), field(26), field(28)});
            at += 32 + 8 * field(24);
        }
        return found;
    };
    // Three frames of the drawing's points alike, the end header numbered after them.
    using Headers = std::vector<std::array<int, 3>>;
    const Headers abc = headers("abc.ild");
    ASSERT_EQ(abc.size(), 4u);
    const int n = abc[0][0];
    EXPECT_GT(n, 1);
    EXPECT_EQ(abc, (Headers{{n, 0, 3}, {n, 1, 3}, {n, 2, 3}, {0, 3, 3}}));
    EXPECT_EQ(headers("four.ild"),
              (Headers{{1, 0, 4}, {1, 1, 4}, {2, 2, 4}, {3, 3, 4}, {0, 4, 4}}));
    for (int frame = 1; frame <= 3; ++frame) {
        EXPECT_EQ(
            PixelsOfContourFile(ReadFile(f.path(QStringLiteral("frames/show_00%1.ilz").arg(frame))))
                .size(),
            size_t(frame));
    }
    EXPECT_FALSE(QFile::exists(f.path(QStringLiteral("frames/show_004.ilz"))));
}

// --convert --text: a name frame made without a window, centred and as high as asked; what the
// font cannot draw is a file problem, a wrong option a usage error.
TEST(FileConversion, TextBecomesAContourOfItsOwn) {
    Folder f;
    const auto made = f.run({QStringLiteral("--convert"), QStringLiteral("--text"),
                             QStringLiteral("ПРИВЕТ\\nМИР"), QStringLiteral("name.ilz"),
                             QStringLiteral("--height"), QStringLiteral("30")});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const auto points = PixelsOfContourFile(ReadFile(f.path(QStringLiteral("name.ilz"))));
    ASSERT_GT(points.size(), 50u);
    double top = 1e9, bottom = -1e9;
    for (const auto& [x, y] : points) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // Two lines of capitals 30 high, baselines 45 apart, centred on the surface.
    EXPECT_NEAR(bottom - top, 75, 1.5);
    EXPECT_NEAR((bottom + top) / 2, 192, 1.5);

    struct Row {
        QStringList arguments;
        int exitCode;
        QString said;
        Texts texts = Texts::Russian;  // the command line's own messages are read in English
    };
    const Row rows[] = {
        {{QStringLiteral("--text"), QStringLiteral("Ёж"), QStringLiteral("yozh.ild")},
         1,
         QStringLiteral("--text: В шрифте нет букв: Ё.")},
        {{QStringLiteral("--text"), QStringLiteral("LASER\\nШОУ 2026"), QStringLiteral("show.ild")},
         0,
         QString()},
        // 37 worked in text_test.cpp from the font file.
        {{QStringLiteral("--text"), QStringLiteral("HELLO WORLD"), QStringLiteral("hello.ild"),
          QStringLiteral("--font"), QStringLiteral("rowmans"), QStringLiteral("--height"),
          QStringLiteral("150")},
         1,
         QStringLiteral("--text: При высоте 150 пикс. текст выходит за край поверхности; "
                        "наибольшая высота, при которой он помещается: 37 (--height 37).")},
        {{QStringLiteral("--text"), QStringLiteral("Bob"), QStringLiteral("bob.svg"),
          QStringLiteral("--font"), QStringLiteral("futural")},
         0,
         QString()},
        {{QStringLiteral("--text"), QStringLiteral("Bob"), QStringLiteral("bob.ilz"),
          QStringLiteral("--font"), QStringLiteral("nosuchfont")},
         2,
         QStringLiteral("--font: no font 'nosuchfont'"),
         Texts::English},
        {{QStringLiteral("--text"), QStringLiteral("МИР"), QStringLiteral("m.ilz"),
          QStringLiteral("--height"), QStringLiteral("1000")},
         2,
         QStringLiteral("--height takes 4 to 384 pixels"),
         Texts::English},
        {{QStringLiteral("heart.ilz"), QStringLiteral("h.ild"), QStringLiteral("--font"),
          QStringLiteral("futural")},
         2,
         QStringLiteral("--font goes with --text"),
         Texts::English},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.arguments.join(QLatin1Char(' ')).toStdString());
        const auto run = f.run(QStringList{QStringLiteral("--convert")} + r.arguments, r.texts);
        EXPECT_EQ(run.exitCode, r.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(r.said)) << run.err.toStdString();
    }
}

// An ILDA frame converted to ILDA keeps each point's colour and blanking, in true colour and
// in indexed colours; through a contour file, which keeps neither, every point comes back lit in
// the line colour, as before.
TEST(FileConversion, IldaToIldaKeepsColoursAndBlanking) {
    Folder f;
    // Format 1: x, y, status, index; red, blanked yellow (16), blue (40) and the last.
    QByteArray in = QByteArray("ILDA\0\0\0\1", 8) + QByteArray(16, '\0') +
                    QByteArray::fromHex(
                        "000300000001"
                        "0000") +
                    QByteArray::fromHex(
                        "010002000000"
                        "030004004010"
                        "050006008028");
    in += QByteArray("ILDA\0\0\0\1", 8) + QByteArray(24, '\0');
    f.write(QStringLiteral("in.ild"), in);
    const QString c = QStringLiteral("--convert");
    ASSERT_EQ(f.run({c, QStringLiteral("in.ild"), QStringLiteral("true.ild")}).exitCode, 0);
    ASSERT_EQ(f.run({c, QStringLiteral("in.ild"), QStringLiteral("indexed.ild"),
                     QStringLiteral("--ilda-format"), QStringLiteral("1")})
                  .exitCode,
              0);
    ASSERT_EQ(f.run({c, QStringLiteral("in.ild"), QStringLiteral("via.ilz")}).exitCode, 0);
    ASSERT_EQ(f.run({c, QStringLiteral("via.ilz"), QStringLiteral("plain.ild")}).exitCode, 0);

    // Format 5 records from byte 32: x, y, status, blue, green, red.
    const QByteArray trueColour = ReadFile(f.path(QStringLiteral("true.ild")));
    ASSERT_EQ(trueColour.size(), 32 + 3 * 8 + 32);
    EXPECT_EQ(trueColour.mid(32, 24).toHex(), QByteArray("01000200"
                                                         "000000ff"
                                                         "03000400"
                                                         "4000ffff"
                                                         "05000600"
                                                         "80ff0000"));
    const QByteArray indexed = ReadFile(f.path(QStringLiteral("indexed.ild")));
    ASSERT_EQ(indexed.size(), 32 + 3 * 6 + 32);
    EXPECT_EQ(indexed.mid(32, 18), in.mid(32, 18));
    // Lit, and all in one colour: the line colour.
    const QByteArray plain = ReadFile(f.path(QStringLiteral("plain.ild")));
    ASSERT_EQ(plain.size(), 32 + 3 * 8 + 32);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(plain[32 + 8 * i + 4], char(i == 2 ? 0x80 : 0x00)) << i;
        EXPECT_EQ(plain.mid(32 + 8 * i + 5, 3), plain.mid(32 + 5, 3)) << i;
    }
}
