#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <optional>

#include "app/application.h"
#include "formats/kinds.h"
#include "pictures/bitmap_writer.h"
#include "support/language.h"
#include "support/modal.h"
#include "support/picture_files.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"
#include "support/wait.h"
#include "window/open_files.h"
#include "window/trace_commands.h"

using testing_support::ContourFileOf;
using testing_support::PixelsOfContourFile;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::WriteFile;
using window::MessageButton;

namespace {

// A folder with one file of each kind the editor takes from outside.
struct Files {
    QTemporaryDir dir;
    Files() {
        WriteFile(path("heart.ilz"), ContourFileOf({{100, 100}, {200, 150}, {300, 300}}));
        WriteFile(path("old.plz"), QByteArray(2048, char(127)));
        // One format 5 frame of two points, then the end-of-file header.
        QByteArray ilda = header(2);
        ilda += QByteArray::fromHex("1000200000000000") + QByteArray::fromHex("3000400080000000");
        WriteFile(path("frame.ild"), ilda + header(0));
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        EXPECT_EQ(pictures::WriteBitmapFile(picture, path("picture.bmp")), QString());
        WriteFile(path("notes.txt"), "a note");
        WriteFile(path("motorola"), QByteArray("MM\0*\0\0\0\x08", 8));
        // A show of three frames of 1, 2 and 3 points.
        QByteArray three;
        for (int frame = 1; frame <= 3; ++frame) {
            three += header(frame);
            for (int p = 1; p <= frame; ++p) {
                three += QByteArray::fromHex("1000200000000000");
                three[three.size() - 4] = char(p == frame ? 0x80 : 0);
            }
        }
        WriteFile(path("three.ild"), three + header(0));
        WriteFile(path("broken.bmp"), QByteArray("BM") + QByteArray(60, 'x'));
        // The same frame under a name that says nothing: its first bytes tell.
        WriteFile(path("show"), ilda + header(0));
        WriteFile(path("logo.svg"), R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" )"
                                    R"(height="100"><path d="M10 10 L90 10 L90 90" fill="none" )"
                                    R"(stroke="black"/></svg>)");
        // A dark disc on white, in every picture kind Qt writes; the metafiles come from the
        // test data.
        QImage disc(120, 100, QImage::Format_RGB32);
        disc.fill(Qt::white);
        QPainter painter(&disc);
        painter.setBrush(Qt::black);
        painter.drawEllipse(QPoint(60, 50), 35, 35);
        painter.end();
        EXPECT_EQ(pictures::WriteBitmapFile(disc, path("disc.bmp")), QString());
        EXPECT_TRUE(disc.save(path("disc.jpg"), "JPG", 95));
        EXPECT_TRUE(disc.scaled(64, 64).save(path("disc.ico"), "ICO"));
        for (const char* format : {"png", "webp", "tif"}) {
            EXPECT_TRUE(disc.save(path("disc.") + QLatin1String(format)));
        }
        WriteFile(path("disc.gif"), testing_support::EncodeGif(disc));
        for (const char* name : {"wmf_fulltest.wmf", "emf_fulltest.emf"}) {
            WriteFile(path(name),
                      ReadFile(QStringLiteral(TEST_DATA_DIR "/") + QString::fromUtf8(name)));
        }
    }
    // The sample of a kind.
    QString sample(formats::Kind kind) const {
        using formats::Kind;
        switch (kind) {
            case Kind::Contour:
                return path("heart.ilz");
            case Kind::Legacy:
                return path("old.plz");
            case Kind::Ilda:
                return path("frame.ild");
            case Kind::Svg:
                return path("logo.svg");
            case Kind::Metafile:
                return path("wmf_fulltest.wmf");
            case Kind::EnhancedMetafile:
                return path("emf_fulltest.emf");
            case Kind::Icon:
                return path("disc.ico");
            case Kind::Bitmap:
                return path("disc.bmp");
            case Kind::Jpeg:
                return path("disc.jpg");
            case Kind::Png:
                return path("disc.png");
            case Kind::Gif:
                return path("disc.gif");
            case Kind::WebP:
                return path("disc.webp");
            case Kind::Tiff:
                return path("disc.tif");
        }
        return {};
    }
    static QByteArray header(int records) {
        QByteArray h("ILDA\0\0\0\5", 8);
        h += QByteArray(16, '\0');
        h += char(records >> 8);
        h += char(records & 0xFF);
        h += QByteArray::fromHex("000000010000");
        return h;
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

struct Window {
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    Window() { form().setDialogs(&dialogs); }
    window::TBaseForm& form() { return *w->BaseForm; }
    int count() { return form().editor().state().PointCount; }
    bool underlayShown() {
        return form().editor().underlay().visible() && !form().editor().underlay().isBuiltIn();
    }
    // Sends a drag over the window and, when it is taken, the drop; whether it was taken.
    bool drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&form(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(&form(), &dropped);
        return dropped.isAccepted();
    }
    // What the user has after a file came in: the contour as Save As writes it, the underlay
    // when one was loaded, the caption and the messages shown.
    struct Held {
        QByteArray contour;
        QImage underlay;
        QString title;
        size_t messages = 0;
    };
    Held held(const QString& saveAs) {
        Held h;
        h.underlay = underlayShown() ? form().editor().underlay().picture() : QImage();
        h.title = form().windowTitle();
        h.messages = dialogs.messages.size();
        dialogs.fileAnswers = {saveAs};
        // An ILDA frame comes in with its colours, which a contour file does not keep: Yes.
        dialogs.messageAnswers = {MessageButton::Yes};
        form().action(QStringLiteral("SaveAsItem"))->trigger();
        dialogs.messageAnswers.clear();
        h.contour = ReadFile(saveAs);
        return h;
    }
    // The tracing dialog with what it shows at first, and OK when OK can be pressed.
    void traceAsOffered() {
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<window::TraceDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("TraceOk"));
            if (ok != nullptr && ok->isEnabled()) {
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        form().action(QStringLiteral("ItemTrace"))->trigger();
    }
};

// The File menu command that takes a file of the kind.
const char* MenuItemOf(formats::Kind kind) {
    switch (kind) {
        case formats::Kind::Contour:
            return "OpenFileItem";
        case formats::Kind::Legacy:
            return "ItemImport";
        case formats::Kind::Ilda:
            return "OpenFileItem";
        case formats::Kind::Svg:
            return "ItemImportSvg";
        default:
            return "ItemOpenImage";
    }
}

}  // namespace

// Every kind of the program's table of kinds, by each way a file comes in: the File menu, the
// command line at start, a drop on the window and --convert. A kind that becomes the contour
// leaves the same saved file whichever way it came, the contour file also becoming the current
// file; a picture becomes the same underlay, and --convert traces it as the tracing dialog
// does with what it offers at first.
TEST(FileKinds, EveryKindDoesTheSameWhicheverWayItComesIn) {
    const Files files;
    int n = 0;
    const auto out = [&files, &n] {
        return files.path("out") + QString::number(++n) + QStringLiteral(".ilz");
    };
    for (const formats::KindInfo& kind : formats::Kinds()) {
        const QString sample = files.sample(kind.kind);
        SCOPED_TRACE(sample.toStdString());
        ASSERT_FALSE(sample.isEmpty());
        Window menu;
        menu.dialogs.fileAnswers = {sample};
        menu.form().action(QString::fromUtf8(MenuItemOf(kind.kind)))->trigger();
        const Window::Held byMenu = menu.held(out());

        Window start;
        start.form().opener().OpenFile(sample);
        const Window::Held byStart = start.held(out());

        Window dropped;
        ASSERT_TRUE(dropped.drop({QUrl::fromLocalFile(sample)}));
        ASSERT_TRUE(testing_support::WaitUntil(
            [&dropped] { return dropped.count() > 0 || dropped.underlayShown(); }));
        const Window::Held byDrop = dropped.held(out());

        for (const Window::Held* h : {&byMenu, &byStart, &byDrop}) {
            EXPECT_EQ(h->messages, 0u);
            EXPECT_EQ(h->contour, byMenu.contour);
            EXPECT_EQ(h->underlay, byMenu.underlay);
            // Only Open makes the file the current one.
            EXPECT_EQ(h->title.contains(sample), kind.use == formats::Use::Open)
                << h->title.toStdString();
        }

        const QString converted = out();
        if (kind.use == formats::Use::Underlay) {
            EXPECT_FALSE(byMenu.underlay.isNull());
            EXPECT_TRUE(PixelsOfContourFile(byMenu.contour).empty());
            // No contour without tracing; with it, the dialog's first offer.
            EXPECT_EQ(RunProgram({QStringLiteral("--convert"), sample, converted}, files.dir.path())
                          .exitCode,
                      2);
            const auto traced = RunProgram(
                {QStringLiteral("--convert"), sample, converted, QStringLiteral("--trace")},
                files.dir.path());
            menu.traceAsOffered();
            const Window::Held byDialog = menu.held(out());
            if (traced.exitCode == 0) {
                EXPECT_FALSE(PixelsOfContourFile(byDialog.contour).empty());
                EXPECT_EQ(ReadFile(converted), byDialog.contour);
            } else {
                // What the dialog refuses to apply, the command line refuses too.
                EXPECT_EQ(traced.exitCode, 1) << traced.err.toStdString();
                EXPECT_TRUE(PixelsOfContourFile(byDialog.contour).empty());
            }
        } else {
            EXPECT_TRUE(byMenu.underlay.isNull());
            EXPECT_FALSE(PixelsOfContourFile(byMenu.contour).empty());
            const auto run =
                RunProgram({QStringLiteral("--convert"), sample, converted}, files.dir.path());
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            EXPECT_EQ(ReadFile(converted), byMenu.contour);
        }
    }
}

// A file whose name says nothing is taken by its first bytes, at start and by --convert: an
// ILDA show and a picture.
TEST(FileKinds, ANameWithoutAKnownExtensionIsTakenByItsFirstBytes) {
    const Files files;
    Window byName;
    byName.form().opener().OpenFile(files.path("frame.ild"));
    Window byBytes;
    byBytes.form().opener().OpenFile(files.path("show"));
    EXPECT_EQ(byBytes.count(), 2);
    EXPECT_EQ(byBytes.held(files.path("a.ilz")).contour, byName.held(files.path("b.ilz")).contour);
    const auto run = RunProgram(
        {QStringLiteral("--convert"), files.path("show"), files.path("c.ilz")}, files.dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(ReadFile(files.path("c.ilz")), ReadFile(files.path("a.ilz")));

    // A picture too, of each kind with a mark: it becomes the underlay, and --convert traces it.
    for (const char* picture : {"disc.bmp", "disc.png", "disc.gif", "disc.webp", "disc.tif"}) {
        SCOPED_TRACE(picture);
        WriteFile(files.path("photo"), ReadFile(files.path(picture)));
        Window w;
        w.form().opener().OpenFile(files.path("photo"));
        EXPECT_TRUE(w.dialogs.messages.empty());
        EXPECT_TRUE(w.underlayShown());
        const auto traced = RunProgram({QStringLiteral("--convert"), files.path("photo"),
                                        files.path("d.ilz"), QStringLiteral("--trace")},
                                       files.dir.path());
        EXPECT_EQ(traced.exitCode, 0) << traced.err.toStdString();
        EXPECT_FALSE(PixelsOfContourFile(ReadFile(files.path("d.ilz"))).empty());
    }
}

TEST(OpenAtStart, EachKindOfFileGoesThroughItsCommand) {
    const Files files;
    struct Case {
        const char* file;
        int count;
        bool underlay;
        QString message;       // the one message shown, if any
        bool english = false;  // the message as it reads in English
    };
    const Case cases[] = {
        {"heart.ilz", 3, false, {}},
        {"old.plz", 255, false, {}},
        {"frame.ild", 2, false, {}},
        {"picture.bmp", 0, true, {}},
        {"disc.png", 0, true, {}},
        // TIFF's mark in its other byte order, and nothing after it.
        {"motorola", 0, false,
         QStringLiteral("Картинка TIFF не читается: она повреждена или это не TIFF.")},
        {"missing.ilz", 0, false, QStringLiteral("Cannot open file %1: No such file or directory"),
         true},
        // The system's reason in the program's language, not the system's.
        {"missing.ilz", 0, false,
         QStringLiteral("Не удаётся открыть файл %1: нет такого файла или папки")},
        {"notes.txt", 0, false, QStringLiteral("Файл имеет другой формат!")},
    };
    for (const Case& c : cases) {
        std::optional<testing_support::InEnglish> english;
        if (c.english) {
            english.emplace();
        }
        Window w;
        w.form().opener().OpenFile(files.path(c.file));
        EXPECT_EQ(w.count(), c.count) << c.file;
        EXPECT_EQ(w.underlayShown(), c.underlay) << c.file;
        ASSERT_EQ(w.dialogs.messages.size(), c.message.isEmpty() ? 0u : 1u) << c.file;
        if (!c.message.isEmpty()) {
            // A message about a file names it.
            EXPECT_EQ(w.dialogs.messages[0].text,
                      QString(c.message).replace(QStringLiteral("%1"), files.path(c.file)));
        }
        // Nothing was asked in a dialog: the file took its place.
        EXPECT_TRUE(w.dialogs.fileDialogs.empty()) << c.file;
    }
    // An opened contour file is the current file, as after Open.
    Window w;
    w.form().opener().OpenFile(files.path("heart.ilz"));
    EXPECT_EQ(w.form().windowTitle(),
              QStringLiteral("Vardeni :  [%1]").arg(files.path("heart.ilz")));
}

TEST(FileDrop, TheFirstContourAndTheFirstPictureOpenAfterTheClosingQuestion) {
    const Files files;
    Window w;
    w.form().editor().contour().WriteToBuffer(0, 10, 10);
    w.form().editor().state().PointCount = 1;

    const auto url = [&files](const char* name) { return QUrl::fromLocalFile(files.path(name)); };
    EXPECT_FALSE(w.drop({url("notes.txt"), QUrl(QStringLiteral("https://example.org/a.ilz"))}));

    const QList<QUrl> many = {url("notes.txt"), url("heart.ilz"), url("picture.bmp"),
                              url("old.plz"), url("missing.bmp")};
    // Cancel keeps the changed contour; the picture still becomes the underlay.
    w.dialogs.messageAnswers = {MessageButton::Cancel};
    ASSERT_TRUE(w.drop(many));
    ASSERT_TRUE(testing_support::WaitUntil([&w] { return w.underlayShown(); }));
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("Записать файл?"));
    EXPECT_EQ(w.count(), 1);

    // No: the contour file opens in its place; the legacy file after it is not imported.
    w.dialogs.messageAnswers = {MessageButton::No};
    ASSERT_TRUE(w.drop(many));
    ASSERT_TRUE(testing_support::WaitUntil([&w] { return w.count() == 3; }));
    EXPECT_EQ(w.dialogs.messages.size(), 2u);
    EXPECT_EQ(w.form().windowTitle(),
              QStringLiteral("Vardeni :  [%1]").arg(files.path("heart.ilz")));

    // A legacy file is imported without a question.
    ASSERT_TRUE(w.drop({url("old.plz")}));
    ASSERT_TRUE(testing_support::WaitUntil([&w] { return w.count() == 255; }));
    EXPECT_EQ(w.dialogs.messages.size(), 2u);
}

// A show dropped opens whole, its first frame edited; a picture that cannot be read says why
// and keeps the underlay as it was; while a dialog waits for an answer, nothing can be dropped.
TEST(FileDrop, AShowOpensWholeABrokenPictureSaysWhyAndADialogComesFirst) {
    const Files files;
    const auto url = [&files](const char* name) { return QUrl::fromLocalFile(files.path(name)); };
    Window w;
    const editor::Show& show = w.form().editor().document().show();
    ASSERT_TRUE(w.drop({url("three.ild")}));
    ASSERT_TRUE(testing_support::WaitUntil([&show] { return show.count() == 3; }));
    EXPECT_TRUE(w.dialogs.frameChoices.empty());
    EXPECT_EQ(w.count(), 1);
    EXPECT_EQ(show.frame(2).points.size(), 3u);

    ASSERT_TRUE(w.drop({url("broken.bmp")}));
    ASSERT_TRUE(testing_support::WaitUntil([&w] { return !w.dialogs.messages.empty(); }));
    EXPECT_EQ(w.dialogs.messages[0].type, window::MessageType::Error);
    EXPECT_FALSE(w.underlayShown());
    EXPECT_EQ(w.count(), 1);

    bool taken = true;
    testing_support::WhenModal<QDialog>([&](QDialog&) { taken = w.drop({url("old.plz")}); });
    QDialog question(&w.form());
    question.exec();
    EXPECT_FALSE(taken);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.count(), 1);
}
