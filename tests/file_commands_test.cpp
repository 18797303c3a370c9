#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "app/application.h"
#include "model/contour_file.h"
#include "model/legacy_file.h"
#include "support/language.h"
#include "support/scripted_dialogs.h"

using editor::MouseButton;
using model::PixelPos;
using window::MessageButton;
using window::MessageType;

namespace {

const QString kNoName = QStringLiteral("Vardeni : [no name]");

QByteArray ReadAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray AsBytes(std::span<const uint8_t> image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

// The main window started in an empty temporary working directory, its dialogs and message
// boxes answered by a script.
struct Files {
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<app::Windows> w;

    Files() {
        EXPECT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        start();
    }
    ~Files() {
        w.reset();
        QDir::setCurrent(oldCwd);
    }
    // Starts (or restarts) the program.
    void start() {
        w.reset();
        w = app::CreateWindows();
        form().setDialogs(&dialogs);
    }
    window::TBaseForm& form() { return *w->BaseForm; }
    window::FileCommands& files() { return form().fileCommands(); }
    editor::Editor& ed() { return form().editor(); }
    int count() { return ed().state().PointCount; }
    QString path(const QString& name) { return dir.filePath(name); }
    QString caption() { return form().windowTitle(); }
    QString captionFor(const QString& name) { return QStringLiteral("Vardeni :  [%1]").arg(name); }
    bool saveEnabled() {
        const bool item = form().action(QStringLiteral("SaveItem"))->isEnabled();
        EXPECT_EQ(item, form().button(QStringLiteral("SpeedButtonSave"))->isEnabled());
        return item;
    }
    bool undoEnabled() { return form().button(QStringLiteral("SpeedButtonUndo"))->isEnabled(); }
    void click(const char* name) {
        QTest::mouseClick(form().button(QString::fromUtf8(name)), Qt::LeftButton);
    }
    void trigger(const char* name) { form().action(QString::fromUtf8(name))->trigger(); }

    // Draws a stroke with the pen through the surface dispatch, as the mouse does.
    void draw(std::initializer_list<QPoint> points) {
        click("SpeedButtonPen");
        auto it = points.begin();
        ed().PaintBoxVardeniMouseDown(MouseButton::Left, it->x(), it->y());
        QPoint last = *it;
        for (++it; it != points.end(); ++it) {
            ed().PaintBoxVardeniMouseMove(it->x(), it->y());
            last = *it;
        }
        ed().PaintBoxVardeniMouseUp(MouseButton::Left, last.x(), last.y());
    }
    // Saves through the toolbar to the name given, answering an overwrite question with Yes.
    void saveAs(const QString& name) {
        dialogs.fileAnswers.push_back(name);
        if (QFile::exists(name)) {
            dialogs.messageAnswers.push_back(MessageButton::Yes);
        }
        trigger("SaveAsItem");
    }
    std::vector<PixelPos> pixels() {
        std::vector<PixelPos> out;
        for (int i = 0; i < count(); ++i) {
            out.push_back(ed().contour().PointPixel(i));
        }
        return out;
    }
    model::ContourFileImage image() {
        return model::EncodeContourFile(ed().contour().Buffer, count());
    }
    const window::MessageSpec& lastMessage() { return dialogs.messages.back(); }
};

void ExpectFormatRefusal(const window::MessageSpec& m) {
    EXPECT_EQ(m.text, QStringLiteral("Файл имеет другой формат!"));
    EXPECT_EQ(m.type, MessageType::Error);
    EXPECT_EQ(m.buttons, std::vector<MessageButton>{MessageButton::Ok});
}

void ExpectErrorBox(const window::MessageSpec& m) {
    EXPECT_EQ(m.type, MessageType::Error);
    EXPECT_EQ(m.buttons, std::vector<MessageButton>{MessageButton::Ok});
    EXPECT_FALSE(m.text.isEmpty());
    EXPECT_NE(m.text, QStringLiteral("Файл имеет другой формат!"));
}

}  // namespace

TEST(FileCommands, DialogsAndTheDefaultSaveNameAtStart) {
    Files f;
    EXPECT_EQ(f.files().SaveDialogLaser.fileName,
              QDir::toNativeSeparators(QStringLiteral("./User1.ilz")));
    EXPECT_EQ(f.files().SaveDialogLaser.filter,
              QStringLiteral("Файл лазерной картинки|*.ilz|ILDA (*.ild)|*.ild"));
    EXPECT_EQ(f.files().SaveDialogLaser.defaultExt, QStringLiteral("*.ilz"));
    EXPECT_EQ(f.files().OpenDialogLaser.filter,
              QStringLiteral("Все лазерные картинки|*.ilz;*.ild|"
                             "Файл лазерной картинки|*.ilz|ILDA (*.ild)|*.ild|все файлы|*.*"));
    EXPECT_TRUE(f.files().OpenDialogLaser.defaultExt.isEmpty());
    EXPECT_EQ(f.files().OpenDialogLaser.fileName,
              QDir::toNativeSeparators(QStringLiteral("./*.ilz")));
    for (const window::FileDialogSpec* plz : {&f.files().OpenDialogPlz, &f.files().SaveDialogPlz}) {
        EXPECT_EQ(plz->filter, QStringLiteral("Laser Version 1.0-1.5|*.plz"));
        EXPECT_EQ(plz->defaultExt, QStringLiteral("*.plz"));
        EXPECT_TRUE(plz->fileName.isEmpty());
    }
    EXPECT_FALSE(f.saveEnabled());
    // The first free number is taken, gaps included.
    WriteAll(f.path(QStringLiteral("User1.ilz")), "x");
    WriteAll(f.path(QStringLiteral("User2.ilz")), "x");
    WriteAll(f.path(QStringLiteral("User4.ilz")), "x");
    f.start();
    EXPECT_EQ(f.files().SaveDialogLaser.fileName,
              QDir::toNativeSeparators(QStringLiteral("./User3.ilz")));
}

TEST(FileCommands, SaveCancelledRightAfterStartShowsTheDefaultName) {
    Files f;
    f.click("SpeedButtonNewPict");  // answered by closing the box: No
    f.dialogs.messages.clear();
    f.form().fileCommands().SpeedButtonSaveClick();
    ASSERT_EQ(f.dialogs.fileDialogs.size(), 1u);
    EXPECT_TRUE(f.dialogs.fileDialogWasSave[0]);
    EXPECT_EQ(f.dialogs.fileDialogs[0].fileName,
              QDir::toNativeSeparators(QStringLiteral("./User1.ilz")));
    EXPECT_EQ(f.caption(), f.captionFor(QDir::toNativeSeparators(QStringLiteral("./User1.ilz"))));
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_FALSE(f.saveEnabled());
    EXPECT_TRUE(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(FileCommands, SavedPenStrokeHasTheWorkedBytesAndReopensAfterARestart) {
    Files f;
    f.draw({{0, 0}, {192, 192}, {383, 383}, {500, -40}});
    ASSERT_EQ(f.count(), 4);
    const std::vector<PixelPos> drawn = f.pixels();
    // A Unicode path with blanks.
    const QString name = f.path(QStringLiteral("Контур лазера 1.ilz"));
    f.dialogs.fileAnswers.push_back(name);
    f.click("SpeedButtonSave");  // disabled at start: nothing happens
    EXPECT_TRUE(f.dialogs.fileDialogs.empty());
    f.trigger("SaveAsItem");
    EXPECT_EQ(f.caption(), f.captionFor(name));
    EXPECT_TRUE(f.saveEnabled());
    EXPECT_EQ(f.ed().contour().Buffer[4090], 4);
    const QByteArray bytes = ReadAll(name);
    ASSERT_EQ(bytes.size(), 8192);
    const auto at = [&](int offset) {
        return std::pair<uint8_t, uint8_t>(uint8_t(bytes[offset]), uint8_t(bytes[offset + 1]));
    };
    using P = std::pair<uint8_t, uint8_t>;
    EXPECT_EQ(at(0), (P{0xC8, 0x46}));   // point 0 at pixel (0, 0)
    EXPECT_EQ(at(4), (P{0x00, 0x80}));   // point 1 at pixel 192
    EXPECT_EQ(at(8), (P{0xEC, 0xB8}));   // point 2 at pixel 383
    EXPECT_EQ(at(12), (P{0xEC, 0xB8}));  // the move beyond the surface is clamped
    EXPECT_EQ(at(14), (P{0xC8, 0x46}));
    EXPECT_EQ(at(8180), (P{0x04, 0x80}));
    EXPECT_EQ(bytes, AsBytes(f.image()));

    // Restart and open: the same contour, each point one pixel nearer the centre.
    f.start();
    EXPECT_EQ(f.count(), 0);
    f.dialogs.fileAnswers.push_back(name);
    f.click("SpeedButtonOpenLaser");
    EXPECT_FALSE(f.dialogs.fileDialogWasSave.back());
    ASSERT_EQ(f.count(), 4);
    const std::vector<PixelPos> shown = f.pixels();
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const auto nearer = [](int p) { return p == 192 ? p : (p < 192 ? p + 1 : p - 1); };
        EXPECT_EQ(shown[i], (PixelPos{nearer(drawn[i].x), nearer(drawn[i].y)})) << i;
    }
    EXPECT_EQ(f.caption(), f.captionFor(name));
    EXPECT_TRUE(f.saveEnabled());
    EXPECT_EQ(f.files().SaveDialogLaser.fileName, name);
    EXPECT_EQ(f.form().statusPanels()->panelText(2), QStringLiteral("Leng: 4"));
    EXPECT_TRUE(f.ed().TimerOnPaint().isActive());  // the deferred second repaint
    // Drawn where the file put it: the first point at (1, 1) is no longer background.
    EXPECT_NE(f.ed().canvas().image().pixel(1, 1), f.ed().canvas().image().pixel(100, 300));

    // Saving what was opened writes the same bytes again.
    f.saveAs(f.path(QStringLiteral("второй.ilz")));
    EXPECT_EQ(ReadAll(f.path(QStringLiteral("второй.ilz"))), bytes);
}

TEST(FileCommands, OverwriteQuestionGuardsAnExistingFile) {
    Files f;
    const QString name = f.path(QStringLiteral("old.ilz"));
    WriteAll(name, "previous");
    f.draw({{10, 10}, {50, 50}});
    f.dialogs.fileAnswers.push_back(name);
    f.dialogs.messageAnswers.push_back(MessageButton::No);
    EXPECT_FALSE(f.files().SaveAsItemClick());
    const window::MessageSpec& q = f.lastMessage();
    EXPECT_EQ(q.text, QStringLiteral("Файл с таким именем существует, переписать?"));
    EXPECT_EQ(q.type, MessageType::Warning);
    EXPECT_EQ(q.buttons, (std::vector<MessageButton>{MessageButton::Yes, MessageButton::No}));
    EXPECT_EQ(q.defaultButton, MessageButton::Yes);
    EXPECT_EQ(q.escapeButton, MessageButton::No);
    EXPECT_EQ(ReadAll(name), QByteArray("previous"));
    // Refused, yet the caption shows the chosen name.
    EXPECT_EQ(f.caption(), f.captionFor(name));
    EXPECT_FALSE(f.saveEnabled());
    // Closing the box answers No as well.
    f.dialogs.fileAnswers.push_back(name);
    EXPECT_FALSE(f.files().SpeedButtonSaveClick());
    EXPECT_EQ(ReadAll(name), QByteArray("previous"));
    f.saveAs(name);
    EXPECT_EQ(ReadAll(name), AsBytes(f.image()));
    EXPECT_TRUE(f.saveEnabled());
}

TEST(FileCommands, NewAnsweredNoClearsAndUndoBringsTheContourBack) {
    Files f;
    f.draw({{10, 10}, {50, 50}, {90, 10}});
    const std::vector<PixelPos> before = f.pixels();
    f.dialogs.messageAnswers.push_back(MessageButton::No);
    f.trigger("FileNewItem");  // Ctrl+N runs New
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    const window::MessageSpec& q = f.lastMessage();
    EXPECT_EQ(q.text, QStringLiteral("Записать файл?"));
    EXPECT_EQ(q.type, MessageType::Warning);
    EXPECT_EQ(q.buttons, (std::vector<MessageButton>{MessageButton::No, MessageButton::Ok}));
    EXPECT_EQ(q.defaultButton, MessageButton::Ok);
    EXPECT_EQ(q.escapeButton, MessageButton::No);
    EXPECT_TRUE(f.dialogs.fileDialogs.empty());
    EXPECT_EQ(f.count(), 0);
    EXPECT_EQ(f.caption(), kNoName);
    EXPECT_TRUE(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(f.form().statusPanels()->panelText(2), QStringLiteral("Leng: 0"));
    // The surface is cleared to the background.
    EXPECT_EQ(f.ed().canvas().image().pixel(50, 50), f.ed().canvas().image().pixel(200, 300));
    ASSERT_TRUE(f.undoEnabled());
    f.click("SpeedButtonUndo");
    EXPECT_EQ(f.pixels(), before);
}

TEST(FileCommands, NewWithSavingNamesTheFileEvenWhenTheOverwriteIsRefused) {
    Files f;
    const QString name = f.path(QStringLiteral("taken.ilz"));
    WriteAll(name, "taken");
    f.draw({{10, 10}, {50, 50}});
    f.dialogs.messageAnswers = {MessageButton::Ok, MessageButton::No};
    f.dialogs.fileAnswers.push_back(name);
    f.click("SpeedButtonNewPict");
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_EQ(ReadAll(name), QByteArray("taken"));
    EXPECT_EQ(f.caption(), f.captionFor(name));
    EXPECT_EQ(f.count(), 0);
    EXPECT_FALSE(f.saveEnabled());

    // OK and a cancelled dialog: no name, the contour is still cleared.
    f.draw({{10, 10}, {50, 50}});
    f.dialogs.messageAnswers = {MessageButton::Ok};
    f.click("SpeedButtonNewPict");
    EXPECT_EQ(f.caption(), f.captionFor(name));
    EXPECT_EQ(f.count(), 0);

    // OK and a new name: the contour is written before it is cleared.
    f.draw({{10, 10}, {50, 50}});
    const model::ContourFileImage drawn = f.image();
    const QString fresh = f.path(QStringLiteral("fresh.ilz"));
    f.dialogs.messageAnswers = {MessageButton::Ok};
    f.dialogs.fileAnswers.push_back(fresh);
    f.click("SpeedButtonNewPict");
    EXPECT_EQ(ReadAll(fresh), AsBytes(drawn));
    EXPECT_EQ(f.caption(), f.captionFor(fresh));
    EXPECT_TRUE(f.saveEnabled());
    EXPECT_EQ(f.count(), 0);
}

TEST(FileCommands, CancelledOpenAndImportStillTakeTheSnapshot) {
    Files f;
    f.draw({{10, 10}, {50, 50}});
    const model::ContourBuffer before = f.ed().contour().Buffer;
    f.trigger("OpenFileItem");  // Ctrl+O; cancelled
    EXPECT_TRUE(f.undoEnabled());
    f.click("SpeedButtonUndo");
    EXPECT_EQ(f.ed().contour().Buffer, before);
    EXPECT_EQ(f.count(), 2);
    EXPECT_EQ(f.caption(), kNoName);
    EXPECT_FALSE(f.undoEnabled());
    f.trigger("ItemImport");  // cancelled
    EXPECT_TRUE(f.undoEnabled());
    EXPECT_FALSE(f.dialogs.fileDialogWasSave.back());
    EXPECT_EQ(f.dialogs.fileDialogs.back().filter, QStringLiteral("Laser Version 1.0-1.5|*.plz"));
    f.click("SpeedButtonUndo");
    EXPECT_EQ(f.ed().contour().Buffer, before);
    EXPECT_EQ(f.count(), 2);
}

TEST(FileCommands, OpenRefusesWrongSizesAndCountsWithoutAdoptingTheFile) {
    Files f;
    // A good file of 8193 bytes loads; its last byte is ignored.
    model::ContourBuffer buffer{};
    buffer[0] = model::PixelToUnit(100);
    buffer[1] = model::PixelToUnit(200);
    QByteArray good = AsBytes(model::EncodeContourFile(buffer, 1));
    const QString goodName = f.path(QStringLiteral("good.ilz"));
    WriteAll(goodName, good + QByteArray("\x01"));
    f.dialogs.fileAnswers.push_back(goodName);
    f.click("SpeedButtonOpenLaser");
    ASSERT_EQ(f.count(), 1);
    EXPECT_EQ(f.ed().contour().PointPixel(0), (PixelPos{101, 199}));
    EXPECT_TRUE(f.dialogs.messages.empty());
    f.draw({{300, 300}, {350, 350}});
    const model::ContourBuffer drawn = f.ed().contour().Buffer;
    const int drawnCount = f.count();

    QByteArray badCount = good;
    badCount[8180] = char(0x03);  // 2051
    badCount[8181] = char(0x88);
    const std::pair<const char*, QByteArray> refused[] = {{"empty.ilz", QByteArray()},
                                                          {"short.ilz", good.left(8191)},
                                                          {"long.ilz", good + QByteArray("ab")},
                                                          {"count.ilz", badCount}};
    for (const auto& [file, content] : refused) {
        const QString name = f.path(QString::fromUtf8(file));
        WriteAll(name, content);
        f.dialogs.fileAnswers.push_back(name);
        f.click("SpeedButtonOpenLaser");
        ASSERT_FALSE(f.dialogs.messages.empty()) << file;
        ExpectFormatRefusal(f.lastMessage());
        EXPECT_EQ(f.ed().contour().Buffer, drawn) << file;
        EXPECT_EQ(f.count(), drawnCount) << file;
        // Not adopted: caption, current name and Save controls as they were.
        EXPECT_EQ(f.caption(), f.captionFor(goodName)) << file;
        EXPECT_EQ(f.files().SaveDialogLaser.fileName, goodName) << file;
    }
    EXPECT_EQ(f.dialogs.messages.size(), 4u);
}

TEST(FileCommands, OpenOfAMissingFileShowsTheErrorAndChangesNothing) {
    Files f;
    f.draw({{10, 10}, {50, 50}});
    const model::ContourBuffer drawn = f.ed().contour().Buffer;
    // A missing file, a folder and a pipe, which would otherwise wait for a writer.
    const QString pipe = f.path(QStringLiteral("канал.ilz"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& name : {f.path(QStringLiteral("нет такого.ilz")), f.dir.path(), pipe}) {
        f.dialogs.fileAnswers.push_back(name);
        f.click("SpeedButtonOpenLaser");
        ASSERT_FALSE(f.dialogs.messages.empty());
        ExpectErrorBox(f.lastMessage());
        EXPECT_EQ(f.ed().contour().Buffer, drawn);
        EXPECT_EQ(f.count(), 2);
        EXPECT_EQ(f.caption(), kNoName);
        EXPECT_FALSE(f.saveEnabled());
    }
}

TEST(FileCommands, AFailedSaveLeavesThePreviousFileAndTheProgramAsTheyWere) {
    Files f;
    const QString name = f.path(QStringLiteral("keep.ilz"));
    f.draw({{10, 10}, {50, 50}});
    f.saveAs(name);
    const QByteArray saved = ReadAll(name);
    ASSERT_EQ(saved.size(), 8192);
    f.draw({{200, 200}, {250, 250}, {300, 200}});
    const int drawnCount = f.count();
    const int32_t staleCountSlot = f.ed().contour().Buffer[4090] = 77;

    // The disk fills up in the middle of the write.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    f.saveAs(name);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_FALSE(f.dialogs.messages.empty());
    ExpectErrorBox(f.lastMessage());
    EXPECT_EQ(ReadAll(name), saved);
    EXPECT_EQ(f.ed().contour().Buffer[4090], staleCountSlot);
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.ilz")});

    // A name that can't be created, its folder being a file; then a folder in the way.
    const QString other = f.path(QStringLiteral("keep.ilz/new.ilz"));
    QDir(f.dir.path()).mkdir(QStringLiteral("folder.ilz"));
    for (const QString& bad : {other, f.path(QStringLiteral("folder.ilz"))}) {
        const std::size_t asked = f.dialogs.messages.size();
        f.saveAs(bad);
        ASSERT_GT(f.dialogs.messages.size(), asked);
        ExpectErrorBox(f.lastMessage());
        // The caption and the current name stay those of the last good save.
        EXPECT_EQ(f.caption(), f.captionFor(name));
        EXPECT_EQ(f.files().SaveDialogLaser.fileName, name);
    }
    EXPECT_EQ(ReadAll(name), saved);

    // New whose save fails keeps the contour.
    f.dialogs.messageAnswers = {MessageButton::Ok};
    f.dialogs.fileAnswers.push_back(other);
    f.click("SpeedButtonNewPict");
    EXPECT_EQ(f.count(), drawnCount);
    EXPECT_EQ(f.caption(), f.captionFor(name));
}

TEST(FileCommands, AFailedFirstSaveDoesNotEnableSave) {
    Files f;
    WriteAll(f.path(QStringLiteral("file")), "x");
    f.dialogs.fileAnswers.push_back(f.path(QStringLiteral("file/sub.ilz")));
    f.trigger("SaveAsItem");
    ExpectErrorBox(f.lastMessage());
    EXPECT_FALSE(f.saveEnabled());
    EXPECT_EQ(f.caption(), kNoName);
}

TEST(FileCommands, ImportAndExportWithUnicodeNames) {
    // The file layer's messages as they read in English.
    const testing_support::InEnglish english;
    Files f;
    // Export right after start: every byte 127, and the caption stays.
    const QString exported = f.path(QStringLiteral("Старый формат 1.plz"));
    f.dialogs.fileAnswers.push_back(exported);
    f.trigger("ItemExport");
    EXPECT_TRUE(f.dialogs.fileDialogWasSave.back());
    EXPECT_EQ(ReadAll(exported), QByteArray(2048, char(127)));
    EXPECT_EQ(f.caption(), kNoName);
    EXPECT_FALSE(f.undoEnabled());

    // Import: all 256 points stored, 255 counted; the next export proposes the imported name.
    QByteArray legacy(2100, char(127));
    for (int i = 0; i < 256; ++i) {
        legacy[i] = char(i);
        legacy[1024 + i] = char(255 - i);
    }
    const QString imported = f.path(QStringLiteral("Импорт с пробелом.plz"));
    WriteAll(imported, legacy);
    f.dialogs.fileAnswers.push_back(imported);
    f.trigger("ItemImport");
    EXPECT_EQ(f.count(), 255);
    EXPECT_EQ(f.ed().contour().PointPixel(0), (PixelPos{2, 383}));
    EXPECT_EQ(f.ed().contour().LastWritePos, (PixelPos{255, 0}));
    EXPECT_EQ(f.files().SaveDialogPlz.fileName, imported);
    EXPECT_EQ(f.caption(), kNoName);
    EXPECT_FALSE(f.saveEnabled());
    EXPECT_EQ(f.form().statusPanels()->panelText(2), QStringLiteral("Leng: 255"));

    f.dialogs.fileAnswers.push_back(exported);
    f.trigger("ItemExport");
    EXPECT_EQ(f.dialogs.fileDialogs.back().fileName, imported);  // proposed
    const QByteArray out = ReadAll(exported);
    ASSERT_EQ(out.size(), 2048);
    EXPECT_EQ(uint8_t(out[0]), 0);
    EXPECT_EQ(uint8_t(out[254]), 254);
    EXPECT_EQ(uint8_t(out[255]), 254);
    EXPECT_EQ(uint8_t(out[1024]), 254);
    EXPECT_EQ(uint8_t(out[1024 + 255]), 0);
    EXPECT_EQ(uint8_t(out[300]), 127);

    // A short file fails at the read: the contour stays, Undo still has the snapshot.
    f.draw({{10, 10}, {50, 50}});
    const model::ContourBuffer drawn = f.ed().contour().Buffer;
    const int drawnCount = f.count();
    const QString shortName = f.path(QStringLiteral("короткий.plz"));
    WriteAll(shortName, QByteArray(2047, char(1)));
    f.dialogs.fileAnswers.push_back(shortName);
    f.trigger("ItemImport");
    ExpectErrorBox(f.lastMessage());
    EXPECT_EQ(f.lastMessage().text, QStringLiteral("Read beyond end of file"));
    EXPECT_EQ(f.ed().contour().Buffer, drawn);
    EXPECT_EQ(f.count(), drawnCount);
    EXPECT_EQ(f.files().SaveDialogPlz.fileName, exported);
    EXPECT_TRUE(f.undoEnabled());

    // An export that can't be written keeps the proposed name.
    f.dialogs.fileAnswers.push_back(f.path(QStringLiteral("Старый формат 1.plz/x.plz")));
    f.trigger("ItemExport");
    ExpectErrorBox(f.lastMessage());
    EXPECT_EQ(f.files().SaveDialogPlz.fileName, exported);
}

TEST(FileCommands, ClosingAsksOnlyAboutUnsavedWork) {
    Files f;
    f.form().show();
    // Nothing drawn: closes without a question.
    EXPECT_TRUE(f.form().close());
    EXPECT_TRUE(f.dialogs.messages.empty());

    // Drawing and undoing leaves nothing to ask about.
    f.start();
    f.form().show();
    f.draw({{10, 10}, {50, 50}});
    f.click("SpeedButtonUndo");
    EXPECT_FALSE(f.files().HasUnsavedChanges());

    // Cancel keeps the window open; so does OK when the save dialog is cancelled.
    f.draw({{10, 10}, {50, 50}});
    f.dialogs.messageAnswers = {MessageButton::Cancel};
    EXPECT_FALSE(f.form().close());
    EXPECT_TRUE(f.form().isVisible());
    const window::MessageSpec& q = f.lastMessage();
    EXPECT_EQ(q.text, QStringLiteral("Записать файл?"));
    EXPECT_EQ(q.type, MessageType::Warning);
    EXPECT_EQ(q.buttons, (std::vector<MessageButton>{MessageButton::No, MessageButton::Ok,
                                                     MessageButton::Cancel}));
    EXPECT_EQ(q.escapeButton, MessageButton::Cancel);
    f.dialogs.messageAnswers = {MessageButton::Ok};
    f.trigger("ItemExit");
    EXPECT_TRUE(f.form().isVisible());
    EXPECT_EQ(f.dialogs.messages.size(), 2u);

    // OK and a written file closes; the file holds the contour.
    const QString name = f.path(QStringLiteral("на выходе.ilz"));
    const model::ContourFileImage drawn = f.image();
    f.dialogs.messageAnswers = {MessageButton::Ok};
    f.dialogs.fileAnswers.push_back(name);
    EXPECT_TRUE(f.form().close());
    EXPECT_EQ(ReadAll(name), AsBytes(drawn));

    // After a save, and after opening, there is nothing to ask; a change asks again, No closes.
    f.start();
    f.form().show();
    f.dialogs.messages.clear();
    f.dialogs.fileAnswers.push_back(name);
    f.click("SpeedButtonOpenLaser");
    EXPECT_FALSE(f.files().HasUnsavedChanges());
    f.draw({{100, 100}});
    f.dialogs.messageAnswers = {MessageButton::No};
    EXPECT_TRUE(f.form().close());
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
}

TEST(FileCommands, NewStartsAFreshContourThatClosesWithoutAQuestion) {
    Files f;
    f.draw({{10, 10}, {50, 50}});
    f.dialogs.messageAnswers = {MessageButton::No};
    f.trigger("FileNewItem");
    EXPECT_FALSE(f.files().HasUnsavedChanges());
    // Undo brings the unsaved contour back, and with it the question.
    f.click("SpeedButtonUndo");
    EXPECT_TRUE(f.files().HasUnsavedChanges());
}

TEST(FileCommands, CtrlSRunsSaveOnceItIsEnabled) {
    Files f;
    const QString name = f.path(QStringLiteral("ctrl s.ilz"));
    f.draw({{10, 10}, {50, 50}});
    f.saveAs(name);
    ASSERT_TRUE(f.saveEnabled());
    EXPECT_EQ(f.form().action(QStringLiteral("SaveItem"))->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(f.form().action(QStringLiteral("FileNewItem"))->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+N")));
    f.draw({{200, 200}, {250, 250}, {300, 300}});
    const std::size_t shown = f.dialogs.fileDialogs.size();
    f.dialogs.fileAnswers.push_back(name);
    f.dialogs.messageAnswers = {MessageButton::Yes};
    f.trigger("SaveItem");
    // Save always shows the dialog, proposing the current name.
    ASSERT_EQ(f.dialogs.fileDialogs.size(), shown + 1);
    EXPECT_EQ(f.dialogs.fileDialogs.back().fileName, name);
    EXPECT_EQ(ReadAll(name), AsBytes(f.image()));
    EXPECT_EQ(f.ed().contour().Buffer[4090], f.count());
}

TEST(FileCommands, ShortcutsReachTheCommandsFromTheKeyboard) {
    Files f;
    f.form().show();
    f.form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.form()));
    QTest::keySequence(&f.form(), QKeySequence(QStringLiteral("Ctrl+N")));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.lastMessage().text, QStringLiteral("Записать файл?"));
    // Save is disabled at start, so Ctrl+S does nothing; Ctrl+F saves as.
    QTest::keySequence(&f.form(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_TRUE(f.dialogs.fileDialogs.empty());
    QTest::keySequence(&f.form(), QKeySequence(QStringLiteral("Ctrl+F")));
    EXPECT_EQ(f.dialogs.fileDialogs.size(), 1u);
}

namespace {

// A format 5 record: x, y, status, blue, green, red.
struct IldaRecord {
    int x;
    int y;
    uint8_t status;
    uint32_t rgb;
};

QByteArray IldaHeader(int records) {
    QByteArray h("ILDA\0\0\0\5frame\0\0\0test\0\0\0\0", 24);
    h += char(records >> 8);
    h += char(records & 0xFF);
    h += QByteArray("\0\0\0\1\0\0", 6);
    return h;
}

// A show of format 5 frames, then the end-of-file header.
QByteArray IldaShow(const std::vector<std::vector<IldaRecord>>& frames) {
    QByteArray show;
    for (const auto& frame : frames) {
        show += IldaHeader(int(frame.size()));
        for (const IldaRecord& r : frame) {
            for (const int v : {r.x, r.y}) {
                show += char((v >> 8) & 0xFF);
                show += char(v & 0xFF);
            }
            show += char(r.status);
            show += char(r.rgb & 0xFF);
            show += char((r.rgb >> 8) & 0xFF);
            show += char((r.rgb >> 16) & 0xFF);
        }
    }
    return show + IldaHeader(0);
}

// The records of each frame of a file, read plainly from the bytes: format 5 sections, each
// after its header, up to the end-of-file header.
std::vector<std::vector<IldaRecord>> Frames(const QByteArray& file) {
    std::vector<std::vector<IldaRecord>> frames;
    const auto* b = reinterpret_cast<const uint8_t*>(file.constData());
    for (qsizetype at = 0; at + 32 <= file.size() && file.mid(at, 4) == "ILDA" && b[at + 7] == 5;) {
        const int n = (b[at + 24] << 8) | b[at + 25];
        if (n == 0) {
            break;
        }
        std::vector<IldaRecord> records;
        for (int i = 0; i < n && at + 32 + (i + 1) * 8 <= file.size(); ++i) {
            const uint8_t* r = b + at + 32 + i * 8;
            records.push_back({int16_t((r[0] << 8) | r[1]), int16_t((r[2] << 8) | r[3]), r[4],
                               uint32_t(r[7]) << 16 | uint32_t(r[6]) << 8 | r[5]});
        }
        frames.push_back(std::move(records));
        at += 32 + 8 * n;
    }
    return frames;
}

std::vector<IldaRecord> FirstFrame(const QByteArray& file) {
    const auto frames = Frames(file);
    return frames.empty() ? std::vector<IldaRecord>{} : frames[0];
}

bool operator==(const IldaRecord& a, const IldaRecord& b) {
    return a.x == b.x && a.y == b.y && a.status == b.status && a.rgb == b.rgb;
}

}  // namespace

// A contour with colours or blanking saved to a contour file, which keeps neither: asked once
// for each file name; No writes nothing and keeps the current file, Yes writes the same 8192
// bytes as ever, and a contour without styles is never asked about.
TEST(FileCommands, SavingColoursToAContourFileAsksOncePerName) {
    Files f;
    f.draw({{10, 10}, {60, 40}, {120, 90}});
    const model::ContourFileImage plain = f.image();
    const QString a = f.path(QStringLiteral("a.ilz"));
    f.saveAs(a);
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(ReadAll(a), AsBytes(plain));

    f.ed().contour().SetStyle(1, model::PointStyle::Colour(0x00FF00));
    f.ed().contour().SetStyle(2, model::PointStyle::Dark());
    EXPECT_TRUE(f.files().HasUnsavedChanges());
    const QString b = f.path(QStringLiteral("b.ilz"));
    f.dialogs.messageAnswers = {MessageButton::No};
    f.dialogs.fileAnswers.push_back(b);
    f.trigger("SaveAsItem");
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    const window::MessageSpec q = f.lastMessage();
    EXPECT_EQ(q.text, QStringLiteral("Цвета и гашение в файле .ilz не сохраняются. Записать?"));
    EXPECT_EQ(q.buttons, (std::vector<MessageButton>{MessageButton::Yes, MessageButton::No}));
    EXPECT_FALSE(QFile::exists(b));
    EXPECT_EQ(f.caption(), f.captionFor(a));
    EXPECT_EQ(f.files().SaveDialogLaser.fileName, a);
    EXPECT_TRUE(f.files().HasUnsavedChanges());

    // Yes: the bytes of the contour without its styles.
    f.dialogs.messageAnswers = {MessageButton::Yes};
    f.dialogs.fileAnswers.push_back(b);
    f.trigger("SaveAsItem");
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_EQ(ReadAll(b), AsBytes(plain));
    EXPECT_EQ(f.caption(), f.captionFor(b));
    EXPECT_FALSE(f.files().HasUnsavedChanges());

    // Not again for that name, only the overwrite question; again for another name.
    f.saveAs(b);
    ASSERT_EQ(f.dialogs.messages.size(), 3u);
    EXPECT_EQ(f.lastMessage().text, QStringLiteral("Файл с таким именем существует, переписать?"));
    f.dialogs.messageAnswers = {MessageButton::Yes};
    f.saveAs(a);
    ASSERT_EQ(f.dialogs.messages.size(), 5u);
    EXPECT_EQ(f.dialogs.messages[3].text, q.text);
    EXPECT_EQ(ReadAll(a), AsBytes(plain));
}

// Open takes a file that starts with "ILDA" whatever its name: a show comes in whole, every
// frame with its colours and blanking, the first one edited, the file the current one; Save
// writes every frame back in order, numbered n of 2 in their headers, each point as it came. To
// a contour file, which holds one frame, the current frame goes alone once the user agrees.
TEST(FileCommands, OpenTakesAnIldaShowWholeAndSaveWritesEveryFrame) {
    Files f;
    const std::vector<IldaRecord> first = {{0, 0, 0x80, 0xFFFFFF}};
    const std::vector<IldaRecord> second = {
        {-1000, 2000, 0x40, 0x000000}, {3000, 2000, 0x00, 0xFF8000}, {3000, -4000, 0x80, 0x0000FF}};
    const QString name = f.path(QStringLiteral("show.dat"));
    WriteAll(name, IldaShow({first, second}));
    f.dialogs.fileAnswers.push_back(name);
    f.click("SpeedButtonOpenLaser");
    EXPECT_TRUE(f.dialogs.frameChoices.empty());
    EXPECT_TRUE(f.dialogs.messages.empty());
    const editor::Show& show = f.ed().document().show();
    ASSERT_EQ(show.count(), 2);
    EXPECT_EQ(show.current(), 0);
    EXPECT_TRUE(show.fromFile(0) && show.fromFile(1));
    EXPECT_EQ(show.name(1), "frame");
    ASSERT_EQ(f.count(), 1);
    EXPECT_EQ(f.ed().contour().PointStyles(),
              std::vector<model::PointStyle>{model::PointStyle::Colour(0xFFFFFF)});
    ASSERT_NE(f.form().frameStrip(), nullptr);
    EXPECT_TRUE(f.form().frameStrip()->isVisible());
    EXPECT_EQ(f.caption(), f.captionFor(name));
    EXPECT_TRUE(f.saveEnabled());
    EXPECT_FALSE(f.files().HasUnsavedChanges());

    // Save proposes the file under the ILDA filter and writes both frames as they came.
    f.dialogs.fileDialogs.clear();
    f.saveAs(name);
    ASSERT_EQ(f.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(f.dialogs.fileDialogs[0].filterIndex, 2);
    const QByteArray saved = ReadAll(name);
    EXPECT_EQ(Frames(saved), (std::vector<std::vector<IldaRecord>>{first, second}));
    // Frame numbers 0 and 1 of 2 (bytes 26..29 of a header), the name at byte 8.
    EXPECT_EQ(saved.mid(26, 4), QByteArray::fromHex("00000002"));
    EXPECT_EQ(saved.mid(32 + 8 + 26, 4), QByteArray::fromHex("00010002"));
    EXPECT_EQ(saved.mid(32 + 8 + 8, 8), QByteArray("frame\0\0\0", 8));

    // A change of a style of the second frame alone is unsaved work; saved, the show holds it,
    // the first frame as it was.
    f.form().frameCommands().ItemFrameNextClick();
    f.ed().contour().SetStyle(0, model::PointStyle::Colour(0x123456));
    EXPECT_TRUE(f.files().HasUnsavedChanges());
    f.saveAs(name);
    std::vector<IldaRecord> changed = second;
    changed[0] = {-1000, 2000, 0x00, 0x123456};
    EXPECT_EQ(Frames(ReadAll(name)), (std::vector<std::vector<IldaRecord>>{first, changed}));
    EXPECT_FALSE(f.files().HasUnsavedChanges());

    // To a contour file: asked first; No writes nothing, Yes (and Yes to the colours lost)
    // writes the current frame, and the other frame is still unsaved work.
    const QString alone = f.path(QStringLiteral("alone.ilz"));
    f.dialogs.messages.clear();
    f.dialogs.messageAnswers = {MessageButton::No};
    f.saveAs(alone);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.lastMessage().text, QStringLiteral("В показе 2 кадров, а файл этого вида хранит "
                                                   "один. Сохранить только текущий кадр?"));
    EXPECT_FALSE(QFile::exists(alone));
    f.dialogs.messageAnswers = {MessageButton::Yes, MessageButton::Yes};
    f.saveAs(alone);
    EXPECT_EQ(f.dialogs.messages.size(), 3u);
    EXPECT_EQ(ReadAll(alone).size(), 8192);
    EXPECT_TRUE(f.files().HasUnsavedChanges());
}

// A show that opened in part (its file ends inside the third frame) is not written over without
// saying what goes: No is the default and keeps the file as it was.
TEST(FileCommands, OverwritingAShowOpenedInPartSaysWhatIsLost) {
    Files f;
    const std::vector<IldaRecord> frame = {{0, 0, 0x00, 0xFFFFFF}, {100, 100, 0x80, 0xFFFFFF}};
    const QString name = f.path(QStringLiteral("cut.ild"));
    // Three frames of 32 + 2 * 8 bytes; the file ends 20 bytes into the third.
    const QByteArray cut = IldaShow({frame, frame, frame}).left(2 * 48 + 20);
    WriteAll(name, cut);
    f.dialogs.fileAnswers.push_back(name);
    f.click("SpeedButtonOpenLaser");
    ASSERT_EQ(f.ed().document().show().count(), 2);
    const QString note = QStringLiteral("Файл обрывается внутри кадра 3: целых кадров в нём 2.");
    EXPECT_EQ(f.lastMessage().text, note);

    f.dialogs.fileAnswers.push_back(name);
    f.dialogs.messageAnswers = {MessageButton::No};
    f.trigger("SaveAsItem");
    EXPECT_EQ(f.lastMessage().text,
              QStringLiteral("Файл с таким именем существует, переписать?\n\nОн открыт не "
                             "полностью: переписанный, он потеряет то, чего в редакторе нет.\n") +
                  note);
    EXPECT_EQ(f.lastMessage().defaultButton, MessageButton::No);
    EXPECT_EQ(ReadAll(name), cut);
    // Yes writes the two frames; the file then holds what is open, and the question is the
    // usual one again.
    f.saveAs(name);
    EXPECT_EQ(Frames(ReadAll(name)), (std::vector<std::vector<IldaRecord>>{frame, frame}));
    f.saveAs(name);
    EXPECT_EQ(f.lastMessage().text, QStringLiteral("Файл с таким именем существует, переписать?"));
}

// Save As offers ILDA beside the contour file: a name ending in .ild, or any name but .ilz
// with the ILDA filter, is written as an ILDA frame, default points in the line colour.
TEST(FileCommands, SaveAsWritesIldaByItsNameOrItsFilter) {
    Files f;
    // Pixels (0, 0) and (383, 383).
    f.ed().ReplaceContour({{-960'000'000, -960'000'000}, {955'000'000, 955'000'000}},
                          {{}, {0xABCDEF, true, true}});
    ASSERT_EQ(f.count(), 2);
    const QRgb line = editor::ResolveColor(f.ed().settings().ColorBoxLine);
    const uint32_t lineRgb = uint32_t(line) & 0xFFFFFF;
    // Pixel 0 is ILDA -32767 and pixel 383 is 32596 (384 pixels over 65534); y points up.
    const std::vector<IldaRecord> expected = {{-32767, 32767, 0x00, lineRgb},
                                              {32596, -32596, 0xC0, 0xABCDEF}};
    EXPECT_EQ(f.files().SaveDialogLaser.filter,
              QStringLiteral("Файл лазерной картинки|*.ilz|ILDA (*.ild)|*.ild"));
    struct Row {
        const char* file;
        int filter;
        bool ilda;
    };
    for (const Row& r : {Row{"by_name.ild", 1, true}, Row{"by_filter.frame", 2, true},
                         Row{"contour.ilz", 2, false}}) {
        SCOPED_TRACE(r.file);
        const QString name = f.path(QString::fromUtf8(r.file));
        f.dialogs.messages.clear();
        f.dialogs.messageAnswers = {MessageButton::Yes};  // colours lost in a contour file
        f.dialogs.filterAnswers = {r.filter};
        f.saveAs(name);
        EXPECT_EQ(f.dialogs.messages.size(), r.ilda ? 0u : 1u);
        if (r.ilda) {
            EXPECT_EQ(FirstFrame(ReadAll(name)), expected);
        } else {
            EXPECT_EQ(ReadAll(name).size(), 8192);
        }
        EXPECT_EQ(f.caption(), f.captionFor(name));
        EXPECT_FALSE(f.files().HasUnsavedChanges());
    }
}

// The closing question counts a change of a point's style alone; undoing it leaves nothing to
// ask about.
TEST(FileCommands, ClosingAsksAboutAChangeOfStyleAlone) {
    Files f;
    f.form().show();
    f.draw({{10, 10}, {50, 50}});
    const QString name = f.path(QStringLiteral("styles.ilz"));
    f.saveAs(name);
    EXPECT_FALSE(f.files().HasUnsavedChanges());
    f.ed().ToUndo();
    f.ed().contour().SetStyle(1, model::PointStyle::Dark());
    f.dialogs.messageAnswers = {MessageButton::Cancel};
    EXPECT_FALSE(f.form().close());
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.lastMessage().text, QStringLiteral("Записать файл?"));
    f.click("SpeedButtonUndo");
    EXPECT_TRUE(f.form().close());
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
}
