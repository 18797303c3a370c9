// The underlay and bitmap-export commands in the running main window.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "app/application.h"
#include "support/language.h"
#include "support/picture_files.h"
#include "support/scripted_dialogs.h"
#include "window/picture_commands.h"
#include "window/picture_preview.h"

using testing_support::ScriptedDialogs;
using widgets::SpeedButton;
using window::MessageType;
using window::TBaseForm;

namespace {

struct Window {
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    TBaseForm& form = *w->BaseForm;
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    Window() { form.setDialogs(&dialogs); }
    ~Window() { form.setDialogs(nullptr); }
    SpeedButton* b(const char* name) { return form.button(QString::fromUtf8(name)); }
    editor::Underlay& underlay() { return form.editor().underlay(); }
    bool timerArmed() { return form.editor().TimerOnPaint().isActive(); }
    QImage surface() { return form.editor().canvas().image().copy(); }

    QString write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString writeImage(const char* name, const QImage& image, const char* format) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        EXPECT_TRUE(image.save(path, format));
        return path;
    }
    // Opens a file through the toolbar button.
    void open(const QString& path) {
        dialogs.fileAnswers.push_back(path);
        b("SpeedButtonOpenImage")->click();
    }
    // Fires the deferred repaint now.
    void repaint() {
        form.editor().TimerOnPaint().stop();
        form.editor().Repaint();
    }
};

QImage Solid(int w, int h, QColor c) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

}  // namespace

TEST(UnderlayCommands, OpenDialogHasTheRegisteredFilter) {
    Window w;
    w.b("SpeedButtonOpenImage")->click();  // cancelled
    ASSERT_EQ(w.dialogs.fileDialogs.size(), 1u);
    EXPECT_FALSE(w.dialogs.fileDialogWasSave[0]);
    const QString& filter = w.dialogs.fileDialogs[0].filter;
    EXPECT_TRUE(filter.startsWith(QStringLiteral("All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|")));
    // The pictures read through Qt after the others, logo.png among them.
    EXPECT_GT(filter.indexOf(QStringLiteral("|Картинки PNG (*.png)|*.png|")),
              filter.indexOf(QStringLiteral("|Metafiles (*.wmf)|*.wmf")));
    EXPECT_FALSE(w.underlay().visible());
    EXPECT_FALSE(w.b("SpeedButtonPictureON")->isDown());
    EXPECT_FALSE(w.timerArmed());
    EXPECT_TRUE(w.dialogs.messages.empty());
}

TEST(UnderlayCommands, LoadingPutsTheToggleDownShowsAndArmsTheRepaint) {
    Window w;
    int clicks = 0;
    QObject::connect(w.b("SpeedButtonPictureON"), &QToolButton::clicked, [&] { ++clicks; });
    w.open(w.writeImage("photo.JPG", Solid(800, 600, Qt::red), "JPG"));
    EXPECT_TRUE(w.dialogs.messages.empty());
    EXPECT_TRUE(w.b("SpeedButtonPictureON")->isDown());
    EXPECT_EQ(clicks, 0);  // its handler did not run
    EXPECT_TRUE(w.underlay().visible());
    EXPECT_TRUE(w.timerArmed());
    EXPECT_EQ(w.underlay().area(), QRect(0, 45, 394, 295));
    w.repaint();
    const QColor inside = w.surface().pixelColor(300, 200);
    EXPECT_GT(inside.red(), 230);
    EXPECT_LT(inside.green(), 30);
    // Above the fitted picture the surface keeps its background.
    EXPECT_EQ(w.surface().pixel(300, 20), w.form.editor().BaseColor());
}

TEST(UnderlayCommands, FailedLoadsChangeNothingAndShowTheReadersMessage) {
    Window w;
    w.open(w.writeImage("first.bmp", Solid(100, 200, Qt::blue), "BMP"));
    ASSERT_TRUE(w.dialogs.messages.empty());
    const QImage before = w.underlay().picture();
    EXPECT_EQ(w.underlay().area(), QRect(100, 0, 193, 386));
    // Hide it, and let the repaint happen, so that every flag has a known state.
    w.b("SpeedButtonPictureON")->click();
    ASSERT_FALSE(w.underlay().visible());
    w.repaint();

    QImage bmpImage = Solid(30, 30, Qt::green);
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        bmpImage.save(&buffer, "BMP");
    }
    struct Case {
        const char* name;
        QByteArray bytes;
        QString message;
    };
    const Case cases[] = {
        {"picture.png", bmp,
         QStringLiteral("Картинка PNG не читается: она повреждена или это не PNG.")},
        {"picture.gif", bmp,
         QStringLiteral("Картинка GIF не читается: она повреждена или это не GIF.")},
        {"picture.pcx", bmp, QStringLiteral("Unknown picture file extension (.pcx)")},
        {"short.bmp", bmp.left(bmp.size() / 2), QStringLiteral("Bitmap image is not valid")},
        {"empty.ico", QByteArray(), QStringLiteral("Icon image is not valid")},
        {"cut.wmf", QByteArray("\xD7\xCD\xC6\x9A\0\0", 6), QStringLiteral("Metafile is not valid")},
        {"cut.emf", QByteArray(40, '\1'), QStringLiteral("Metafile is not valid")},
        {"text.jpg", QByteArray("not a picture"),
         QStringLiteral("JPEG error #%1").arg(JERR_NO_SOI)},
    };
    for (const Case& c : cases) {
        w.dialogs.messages.clear();
        w.open(w.write(c.name, c.bytes));
        ASSERT_EQ(w.dialogs.messages.size(), 1u) << c.name;
        EXPECT_EQ(w.dialogs.messages[0].text, c.message) << c.name;
        EXPECT_EQ(w.dialogs.messages[0].type, MessageType::Error) << c.name;
        EXPECT_EQ(w.underlay().picture(), before) << c.name;
        EXPECT_EQ(w.underlay().area(), QRect(100, 0, 193, 386)) << c.name;
        EXPECT_FALSE(w.underlay().visible()) << c.name;
        EXPECT_FALSE(w.b("SpeedButtonPictureON")->isDown()) << c.name;
        EXPECT_FALSE(w.timerArmed()) << c.name;
    }
}

TEST(UnderlayCommands, ToggleShowsTheBuiltInDrawingBeforeAnyLoad) {
    Window w;
    const QImage empty = w.surface();
    w.b("SpeedButtonPictureON")->click();
    EXPECT_TRUE(w.b("SpeedButtonPictureON")->isDown());
    EXPECT_TRUE(w.underlay().visible());
    EXPECT_TRUE(w.timerArmed());
    w.repaint();
    int changed = 0;
    for (int y = 0; y < 386; y += 3) {
        for (int x = 0; x < 394; x += 3) {
            changed += w.surface().pixel(x, y) != empty.pixel(x, y);
        }
    }
    EXPECT_GT(changed, 1000);
    w.b("SpeedButtonPictureON")->click();
    EXPECT_FALSE(w.underlay().visible());
    w.repaint();
    EXPECT_EQ(w.surface(), empty);
}

TEST(UnderlayCommands, GridAndContourLieOverTheUnderlay) {
    Window w;
    w.b("SpeedButtonSetkaON")->click();
    w.open(w.writeImage("sky.bmp", Solid(50, 50, QColor(0, 0, 200)), "BMP"));
    w.repaint();
    // A one-colour bitmap is all key colour: nothing of it shows.
    EXPECT_EQ(w.surface().pixel(100, 100), w.form.editor().BaseColor());
    QImage two = Solid(50, 50, QColor(0, 0, 200));
    two.setPixelColor(0, 49, Qt::white);  // white is the key now
    w.open(w.writeImage("sky2.bmp", two, "BMP"));
    w.repaint();
    EXPECT_EQ(w.surface().pixel(100, 100), qRgb(0, 0, 200));
    const QRgb grid = editor::ResolveColor(w.form.editor().settings().ColorBoxLineSetka);
    EXPECT_EQ(w.surface().pixel(100, 24), grid);
    EXPECT_EQ(w.surface().pixel(24, 100), grid);
    // The bottom-left pixel, scaled, is left out.
    EXPECT_EQ(w.surface().pixel(6, 384), w.form.editor().BaseColor());
}

TEST(UnderlayCommands, IconDrawsWithItsMask) {
    Window w;
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter(&icon).fillRect(16, 0, 16, 32, Qt::red);
    w.open(w.writeImage("a.ico", icon, "ICO"));
    ASSERT_TRUE(w.dialogs.messages.empty());
    w.repaint();
    EXPECT_EQ(w.underlay().area(), QRect(4, 0, 386, 386));
    EXPECT_EQ(w.surface().pixel(100, 100), w.form.editor().BaseColor());
    EXPECT_EQ(w.surface().pixel(300, 100), qRgb(255, 0, 0));
}

TEST(UnderlayCommands, MetafilesLoadFromTheirFiles) {
    Window w;
    for (const char* name : {"wmf_fulltest.wmf", "emf_fulltest.emf"}) {
        w.open(QStringLiteral(TEST_DATA_DIR "/") + QString::fromLatin1(name));
        EXPECT_TRUE(w.dialogs.messages.empty()) << name;
        EXPECT_EQ(w.underlay().area().width(), 394) << name;
    }
    testing_support::WmfFile f;
    f.window(0, 0, 100, 100);
    f.solidBrush(0x00FF00);
    f.select(0);
    f.record(0x041B, {100, 50, 0, 0});  // left half green
    w.open(w.write("half.wmf", f.bytes(100, 100)));
    ASSERT_TRUE(w.dialogs.messages.empty());
    w.repaint();
    EXPECT_EQ(w.surface().pixel(100, 200), qRgb(0, 255, 0));
    EXPECT_EQ(w.surface().pixel(300, 200), w.form.editor().BaseColor());  // transparent
}

namespace {

// An enhanced metafile of the given records, its bounds and frame empty (0, 0, -1, -1) the
// way the system writes a metafile that draws nothing.
QByteArray EmptyFramedEmf(const QByteArray& records) {
    QByteArray emf(88, '\0');
    const auto put = [](QByteArray& to, qsizetype at, qint32 v) {
        qToLittleEndian<qint32>(v, to.data() + at);
    };
    put(emf, 0, 1);
    put(emf, 4, 88);
    for (const qsizetype at : {16, 20, 32, 36}) {
        put(emf, at, -1);
    }
    put(emf, 40, 0x464D4520);
    put(emf, 44, 0x10000);
    emf.append(records);
    QByteArray eof(20, '\0');
    put(eof, 0, 14);
    put(eof, 4, 20);
    put(eof, 12, 16);
    put(eof, 16, 20);
    emf.append(eof);
    put(emf, 48, qint32(emf.size()));
    put(emf, 52, 3);
    put(emf, 56, 1);
    for (const auto& [at, v] : {std::pair{72, 1024}, {76, 768}, {80, 320}, {84, 240}}) {
        put(emf, at, v);
    }
    return emf;
}

}  // namespace

TEST(UnderlayCommands, MetafilesThatDrawNothingLeaveTheSurfaceAlone) {
    Window w;
    const QImage empty = w.surface();
    testing_support::WmfFile line;  // 15 by 6000: its fitted rectangle is 0 by 386
    line.window(0, 0, 15, 6000);
    line.record(0x0214, {0, 7});
    line.record(0x0213, {6000, 7});
    // SELECTOBJECT of the white stock brush, and an EMF+ comment: header and end of file.
    const QByteArray select("\x25\0\0\0\x0C\0\0\0\0\0\0\x80", 12);
    const QByteArray plus(
        "\x46\0\0\0\x38\0\0\0\x2C\0\0\0EMF+"
        "\x01\x40\x01\0\x1C\0\0\0\x10\0\0\0\x02\x10\xC0\xDB"
        "\x01\0\0\0\x60\0\0\0\x60\0\0\0"
        "\x02\x40\0\0\x0C\0\0\0\0\0\0\0",
        56);
    const std::pair<const char*, QByteArray> files[] = {
        {"line.wmf", line.bytes(0, 0, false)},
        {"select.emf", EmptyFramedEmf(select)},
        {"plus.emf", EmptyFramedEmf(plus)},
    };
    for (const auto& [name, bytes] : files) {
        w.dialogs.messages.clear();
        w.open(w.write(name, bytes));
        EXPECT_TRUE(w.dialogs.messages.empty()) << name;
        EXPECT_TRUE(w.underlay().visible()) << name;
        w.repaint();
        EXPECT_EQ(w.surface(), empty) << name;
    }
}

TEST(BitmapExport, WritesTheSurfaceAsShown) {
    Window w;
    w.b("SpeedButtonSetkaON")->click();
    w.b("SpeedButtonPictureON")->click();
    w.repaint();
    const QString path = w.dir.filePath(QStringLiteral("out.bmp"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    w.dialogs.fileAnswers.push_back(path);
    w.b("SpeedButtonSavePikture")->click();
    ASSERT_EQ(w.dialogs.fileDialogs.size(), 1u);
    EXPECT_TRUE(w.dialogs.fileDialogWasSave[0]);
    EXPECT_EQ(w.dialogs.fileDialogs[0].filter, QStringLiteral("Bitmaps (*.bmp)|*.bmp"));
    EXPECT_EQ(w.dialogs.fileDialogs[0].defaultExt, QStringLiteral("*.bmp"));
    EXPECT_TRUE(w.dialogs.messages.empty());  // replaced without a question
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);
    const QImage image = QImage::fromData(bytes, "BMP");
    ASSERT_EQ(image.size(), QSize(394, 386));
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), w.surface());
}

TEST(BitmapExport, FailureNamesTheFileAndCancelWritesNothing) {
    // The file layer's messages as they read in English.
    const testing_support::InEnglish english;
    Window w;
    w.b("SpeedButtonSavePikture")->click();  // cancelled
    EXPECT_TRUE(w.dialogs.messages.empty());
    const QString path = w.dir.filePath(QStringLiteral("missing/dir/out.bmp"));
    w.dialogs.fileAnswers.push_back(path);
    w.b("SpeedButtonSavePikture")->click();
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("Cannot create file ") + path);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(UnderlayCommands, FileMenuItemsRunTheCommands) {
    Window w;
    const QAction* open = w.form.action(QStringLiteral("ItemOpenImage"));
    const QAction* save = w.form.action(QStringLiteral("ItemSaveImage"));
    EXPECT_EQ(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    w.form.action(QStringLiteral("ItemOpenImage"))->trigger();
    w.form.action(QStringLiteral("ItemSaveImage"))->trigger();
    ASSERT_EQ(w.dialogs.fileDialogs.size(), 2u);
    EXPECT_FALSE(w.dialogs.fileDialogWasSave[0]);
    EXPECT_TRUE(w.dialogs.fileDialogWasSave[1]);
}

TEST(PicturePreview, ShowsTheCurrentFileFittedOrItsError) {
    Window w;
    QFileDialog dialog;
    window::AddPicturePreview(dialog);
    auto* preview = dialog.findChild<QLabel*>(QStringLiteral("PicturePreview"));
    ASSERT_NE(preview, nullptr);
    Q_EMIT dialog.currentChanged(w.writeImage("wide.bmp", Solid(200, 100, Qt::red), "BMP"));
    // A one-colour bitmap is all key colour, so the fitted picture leaves white.
    ASSERT_FALSE(preview->pixmap().isNull());
    EXPECT_EQ(preview->pixmap().size(), QSize(176, 176));
    QImage two = Solid(200, 100, Qt::red);
    two.setPixelColor(0, 99, Qt::white);
    Q_EMIT dialog.currentChanged(w.writeImage("wide2.bmp", two, "BMP"));
    const QImage shown = preview->pixmap().toImage();
    EXPECT_EQ(shown.pixel(88, 88), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(88, 10), qRgb(255, 255, 255));  // above the fitted picture
    Q_EMIT dialog.currentChanged(w.write("bad.jpg", QByteArray("nothing")));
    EXPECT_TRUE(preview->pixmap().isNull());
    EXPECT_TRUE(preview->text().startsWith(QStringLiteral("JPEG error #")));
}
