#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include "app/application.h"
#include "pictures/bitmap_writer.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"
#include "support/wait.h"
#include "window/open_files.h"

using testing_support::ContourFileOf;
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
};

}  // namespace

TEST(OpenAtStart, EachKindOfFileGoesThroughItsCommand) {
    const Files files;
    struct Case {
        const char* file;
        int count;
        bool underlay;
        QString message;  // the one message shown, if any
    };
    const Case cases[] = {
        {"heart.ilz", 3, false, {}},
        {"old.plz", 255, false, {}},
        {"frame.ild", 2, false, {}},
        {"picture.bmp", 0, true, {}},
        {"missing.ilz", 0, false, QStringLiteral("Cannot open file %1: No such file or directory")},
        {"notes.txt", 0, false, QStringLiteral("Файл имеет другой формат!")},
    };
    for (const Case& c : cases) {
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
