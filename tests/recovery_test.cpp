#include <gtest/gtest.h>

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/application.h"
#include "io/recovery_store.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"
#include "support/wait.h"
#include "window/recovery.h"

using io::RecoveryRecord;
using io::RecoveryStore;
using window::RecoveryKeeper;

namespace {

constexpr qsizetype kImage = 8192;

RecoveryRecord Record(char fill) {
    return {QStringLiteral("/home/a/Звезда.ilz"),
            QStringLiteral(" [/home/a/Звезда.ilz]"),
            QDateTime(QDate(2026, 12, 7), QTime(11, 30, 5)),
            QByteArray(kImage, fill),
            {},
            -1,
            {},
            {}};
}

QStringList Copies(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.qrc")}, QDir::Files);
}

// The main window with its dialogs scripted, keeping copies in a folder of the test's.
struct Editor {
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    std::unique_ptr<RecoveryKeeper> keeper;

    explicit Editor(const QString& folder) {
        w->BaseForm->setDialogs(&dialogs);
        // A long interval: the test ticks by hand.
        keeper =
            std::make_unique<RecoveryKeeper>(w->BaseForm->fileCommands(), *w->BaseForm,
                                             std::make_unique<RecoveryStore>(folder), 3'600'000);
    }
    editor::Editor& ed() { return w->BaseForm->editor(); }
    void penPress(int x, int y) {
        ed().SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
        ed().PaintBoxVardeniMouseDown(editor::MouseButton::Left, x, y);
        ed().PaintBoxVardeniMouseUp(editor::MouseButton::Left, x, y);
    }
};

}  // namespace

TEST(Recovery, OnlyAWholeCopyDecodes) {
    const QByteArray whole = io::EncodeRecovery(Record('\x11'));
    const auto back = io::DecodeRecovery(whole, kImage);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->fileName, Record('\x11').fileName);
    EXPECT_EQ(back->captionFile, Record('\x11').captionFile);
    EXPECT_EQ(back->written, Record('\x11').written);
    EXPECT_EQ(back->contour, QByteArray(kImage, '\x11'));

    QByteArray flipped = whole;
    flipped[4000] = char(flipped[4000] ^ 0x01);
    QByteArray otherMagic = whole;
    otherMagic[0] = 'X';
    const struct {
        const char* what;
        QByteArray bytes;
        qsizetype contourSize;
    } damaged[] = {
        {"last byte cut", whole.chopped(1), kImage},
        {"cut in the contour", whole.left(whole.size() / 2), kImage},
        {"one bit flipped", flipped, kImage},
        {"another magic", otherMagic, kImage},
        {"empty", QByteArray(), kImage},
        {"contour of another size", whole, kImage - 1},
        {"a byte too many", whole + '\0', kImage},
    };
    for (const auto& row : damaged) {
        EXPECT_FALSE(io::DecodeRecovery(row.bytes, row.contourSize)) << row.what;
    }
}

TEST(Recovery, UnsavedWorkIsKeptOfferedBackAndRemovedOnANormalClose) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    QByteArray drawn;
    {
        Editor crashed(folder);
        crashed.keeper->Start();
        crashed.keeper->Tick();
        EXPECT_TRUE(Copies(folder).isEmpty()) << "nothing to keep before a change";
        crashed.penPress(100, 120);
        crashed.keeper->Tick();
        ASSERT_EQ(Copies(folder).size(), 1);
        drawn = QByteArray(reinterpret_cast<const char*>(
                               crashed.w->BaseForm->fileCommands().CurrentImage().data()),
                           kImage);
        // Ends without Finish, as a killed editor would.
    }
    Editor restarted(folder);
    restarted.dialogs.messageAnswers = {window::MessageButton::Yes};
    restarted.keeper->Start();
    ASSERT_EQ(restarted.dialogs.messages.size(), 1u);
    const window::MessageSpec& asked = restarted.dialogs.messages[0];
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^Найден несохранённый контур \\(без имени, "
                                          "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\\)\\. "
                                          "Восстановить\\?$"))
            .match(asked.text)
            .hasMatch())
        << asked.text.toStdString();
    EXPECT_EQ(asked.defaultButton, window::MessageButton::Yes);
    EXPECT_EQ(restarted.ed().state().PointCount, 1);
    const auto image = restarted.w->BaseForm->fileCommands().CurrentImage();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(image.data()), kImage), drawn);
    EXPECT_TRUE(restarted.w->BaseForm->fileCommands().HasUnsavedChanges());
    // One copy, now this editor's own; the closing removes it.
    EXPECT_EQ(Copies(folder).size(), 1);
    restarted.keeper->Finish();
    EXPECT_TRUE(Copies(folder).isEmpty());
}

TEST(Recovery, AFolderThatCannotBeWrittenIsReportedOnceAndEditingGoesOn) {
    QTemporaryDir dir;
    // A file where the folder would be: nothing below it can ever be created.
    QFile blocker(dir.filePath(QStringLiteral("data")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Editor e(dir.filePath(QStringLiteral("data/recovery")));
    e.keeper->Start();
    e.penPress(100, 120);
    e.keeper->Tick();
    EXPECT_EQ(e.w->BaseForm->statusPanels()->panelText(4), QStringLiteral("Копия не пишется"));
    e.w->BaseForm->setStatusText(4, QString());
    e.penPress(110, 120);
    e.keeper->Tick();
    EXPECT_EQ(e.w->BaseForm->statusPanels()->panelText(4), QString()) << "reported once";
    EXPECT_EQ(e.ed().state().PointCount, 2);
    EXPECT_TRUE(e.dialogs.messages.empty()) << "no message box for it";
}

// What a start finds in the folder: orphans offered newest first, a damaged copy reported once
// and set aside as ".damaged", a declined one gone; a restored copy that equals what its file
// holds is not kept, so the next start offers nothing; Cancel on the closing question keeps
// the copy and a settled close removes it.
TEST(Recovery, OrphansNewestFirstDamagedOnceSettledCopiesGone) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto orphan = [&folder](const char* name, const QByteArray& bytes, int minutesAgo) {
        const QString path = QDir(folder).filePath(QString::fromUtf8(name));
        testing_support::WriteFile(path, bytes);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        EXPECT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo),
                                     QFileDevice::FileModificationTime));
        return path;
    };
    RecoveryRecord older = Record('\x11');
    older.written = QDateTime(QDate(2026, 12, 1), QTime(9, 0, 0));
    RecoveryRecord newer = Record('\x22');
    newer.written = QDateTime(QDate(2026, 12, 2), QTime(9, 0, 0));
    orphan("a.qrc", io::EncodeRecovery(older), 30);
    orphan("b.qrc", io::EncodeRecovery(newer), 20);
    const QString broken = orphan("c.qrc", "not a copy", 10);
    {
        Editor e(folder);
        e.dialogs.messageAnswers = {window::MessageButton::Ok, window::MessageButton::No,
                                    window::MessageButton::No};
        e.keeper->Start();
        ASSERT_EQ(e.dialogs.messages.size(), 3u);
        EXPECT_EQ(e.dialogs.messages[0].text,
                  QStringLiteral("Файл восстановления повреждён и отложен: %1")
                      .arg(QDir::toNativeSeparators(broken)));
        EXPECT_TRUE(e.dialogs.messages[1].text.contains(QStringLiteral("02.12.2026")));
        EXPECT_TRUE(e.dialogs.messages[2].text.contains(QStringLiteral("01.12.2026")));
        EXPECT_TRUE(QFile::exists(broken + QStringLiteral(".damaged")));
        EXPECT_TRUE(Copies(folder).isEmpty());
    }
    {
        Editor again(folder);
        again.keeper->Start();
        EXPECT_TRUE(again.dialogs.messages.empty()) << "reported once";
    }

    // A copy of a file's own contour: restored, and then nothing is left to keep.
    const QString heart = dir.filePath(QStringLiteral("heart.ilz"));
    testing_support::WriteFile(heart, testing_support::ContourFileOf({{100, 100}, {200, 150}}));
    RecoveryRecord same = Record('\0');
    same.fileName = heart;
    same.captionFile = QStringLiteral(" [%1]").arg(heart);
    same.contour = testing_support::ReadFile(heart);
    orphan("d.qrc", io::EncodeRecovery(same), 5);
    {
        Editor restored(folder);
        restored.dialogs.messageAnswers = {window::MessageButton::Yes};
        restored.keeper->Start();
        EXPECT_EQ(restored.dialogs.messages.size(), 1u);
        EXPECT_EQ(restored.ed().state().PointCount, 2);
        EXPECT_FALSE(restored.w->BaseForm->fileCommands().HasUnsavedChanges());
    }
    {
        Editor after(folder);
        after.keeper->Start();
        EXPECT_TRUE(after.dialogs.messages.empty());
    }

    Editor closing(folder);
    closing.keeper->Start();
    closing.penPress(100, 120);
    closing.keeper->Tick();
    ASSERT_EQ(Copies(folder).size(), 1);
    window::TBaseForm& form = *closing.w->BaseForm;
    form.KeepRecovery(std::move(closing.keeper));
    closing.dialogs.messageAnswers = {window::MessageButton::Cancel};
    EXPECT_FALSE(form.close());
    EXPECT_EQ(Copies(folder).size(), 1) << "Cancel keeps the copy";
    closing.dialogs.messageAnswers = {window::MessageButton::No};
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(Copies(folder).isEmpty());
}

// A copy keeps the points' colours and blanking and brings them back; a change of a style
// alone is written again. A copy of a contour without styles has the layout copies had before
// there were styles (magic, the four fields, size and checksum), and one of that layout reads.
TEST(Recovery, ACopyKeepsThePointsStylesAndOldCopiesRead) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const std::vector<model::PointStyle> styles = {
        {}, model::PointStyle::Colour(0xFF8000), {0x00FF00, true, true}};
    {
        Editor crashed(folder);
        crashed.keeper->Start();
        crashed.ed().ReplaceContour({{0, 0}, {10'000'000, 0}, {10'000'000, 10'000'000}},
                                    {styles[0], styles[1], model::PointStyle::Dark()});
        crashed.keeper->Tick();
        ASSERT_EQ(Copies(folder).size(), 1);
        const QString copy = QDir(folder).filePath(Copies(folder)[0]);
        QFile before(copy);
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        const QByteArray first = before.readAll();
        before.close();
        crashed.ed().contour().SetStyle(2, styles[2]);
        crashed.keeper->Tick();
        QFile after(copy);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_NE(after.readAll(), first);
    }
    Editor restarted(folder);
    restarted.dialogs.messageAnswers = {window::MessageButton::Yes};
    restarted.keeper->Start();
    ASSERT_EQ(restarted.dialogs.messages.size(), 1u);
    EXPECT_EQ(restarted.ed().state().PointCount, 3);
    EXPECT_EQ(restarted.ed().contour().PointStyles(), styles);
    EXPECT_TRUE(restarted.w->BaseForm->fileCommands().HasUnsavedChanges());
    restarted.keeper->Finish();

    // The layout of old copies, written here field by field.
    const RecoveryRecord old = Record('\x22');
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << old.fileName << old.captionFile << old.written << old.contour;
    QByteArray bytes = QByteArray("QRNRCV01") + body;
    QDataStream tail(&bytes, QIODevice::Append);
    tail.setVersion(QDataStream::Qt_6_0);
    tail << quint32(body.size()) << quint16(qChecksum(body));
    EXPECT_EQ(io::EncodeRecovery(old), bytes);
    const auto back = io::DecodeRecovery(bytes, kImage);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->contour, old.contour);
    EXPECT_TRUE(back->styles.isEmpty());
}

// Work on a show of three frames is kept whole, with the frame being edited: the restart
// brings back every frame, the second one edited with its new colour, and Save writes the show.
TEST(Recovery, AShowOfThreeFramesComesBackWholeWithTheFrameEdited) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const QString name = dir.filePath(QStringLiteral("show.ild"));
    // Format 5 headers (records, frame number, total; the company's eight bytes) and one point
    // a frame: x, y, status, blue, green, red.
    const auto header = [](char records, char number, const QByteArray& company) {
        return QByteArray("ILDA\0\0\0\5", 8) + QByteArray(8, '\0') + company + QByteArray("\0", 1) +
               records + QByteArray("\0", 1) + number + QByteArray("\0\3\0\0", 4);
    };
    const QByteArray none(8, '\0');
    const QByteArray points[] = {QByteArray::fromHex("0100010080ff0000"),
                                 QByteArray::fromHex("020002008000ff00"),
                                 QByteArray::fromHex("03000300800000ff")};
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(header(1, 0, none) + points[0] + header(1, 1, none) + points[1] +
                header(1, 2, none) + points[2] + header(0, 3, none));
    }
    {
        Editor crashed(folder);
        crashed.keeper->Start();
        crashed.w->BaseForm->fileCommands().OpenContourFile(name);
        ASSERT_EQ(crashed.ed().document().show().count(), 3);
        crashed.w->BaseForm->frameCommands().ItemFrameNextClick();
        crashed.ed().contour().SetStyle(0, model::PointStyle::Colour(0xFF0000));
        crashed.keeper->Tick();
        ASSERT_EQ(Copies(folder).size(), 1);
    }
    Editor restarted(folder);
    restarted.dialogs.messageAnswers = {window::MessageButton::Yes};
    restarted.keeper->Start();
    const editor::Show& show = restarted.ed().document().show();
    ASSERT_EQ(show.count(), 3);
    EXPECT_EQ(show.current(), 1);
    ASSERT_EQ(restarted.ed().contour().PointStyles(),
              std::vector<model::PointStyle>{model::PointStyle::Colour(0xFF0000)});
    restarted.dialogs.fileAnswers = {name};
    restarted.dialogs.messageAnswers = {window::MessageButton::Yes};  // overwrite
    restarted.w->BaseForm->action(QStringLiteral("SaveAsItem"))->trigger();
    QFile saved(name);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    // Each point where it was: ILDA 512 is 15,000,458 units, between the contour file image's
    // steps of 65,536, so the copy kept the exact positions. The second frame in red; the
    // program's own company in the headers.
    const QByteArray company("Quorinim");
    const QByteArray expected = header(1, 0, company) + points[0] + header(1, 1, company) +
                                QByteArray::fromHex("02000200800000ff") + header(1, 2, company) +
                                points[2] + header(0, 3, company);
    EXPECT_EQ(saved.readAll().toHex().toStdString(), expected.toHex().toStdString());
    restarted.keeper->Finish();
}

// Copies are written on a thread of their own: a change made while a long show's copy is being
// written reaches the disk an interval later without another change, and the window's thread
// never waits for the disk.
TEST(Recovery, AChangeMadeWhileACopyIsWrittenReachesTheDiskAfterIt) {
    QTemporaryDir dir;
    Editor e(dir.path());
    e.keeper = std::make_unique<RecoveryKeeper>(e.w->BaseForm->fileCommands(), *e.w->BaseForm,
                                                std::make_unique<RecoveryStore>(dir.path()), 20);
    // 2,000 frames of 1,000 points: a copy of some 24 MB.
    std::vector<model::Frame> frames(2000);
    for (model::Frame& f : frames) {
        f.points.assign(1000, model::ContourPoint{1'000'000, 2'000'000});
    }
    editor::Document& document = e.ed().document();
    document.show().Reset(std::move(frames), 0);
    document.FramesChanged();
    document.Settle();
    e.keeper->Start();
    const auto onDisk = [&e] {
        QFile f(e.keeper->store().copyPath());
        const auto record =
            f.open(QIODevice::ReadOnly) ? io::DecodeRecovery(f.readAll(), kImage) : std::nullopt;
        const auto kept = record ? window::DecodeFrames(record->frames) : std::nullopt;
        return kept ? kept->frames[0].points[0].x : 0;
    };
    for (const int32_t x : {7'000'000, 9'000'000}) {
        e.ed().contour().SetSlot(0, x);
        document.Settle();
        e.keeper->Tick(RecoveryKeeper::Wait::No);
    }
    EXPECT_TRUE(testing_support::WaitUntil([&] { return onDisk() == 9'000'000; }, 10'000));
    e.keeper->Finish();
}
