// Whole editing sessions through the main window: drawing, every whole-contour command, and
// the saved file after each, checked against the contour model's own result.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/application.h"
#include "model/contour_file.h"
#include "model/transforms.h"
#include "support/scripted_dialogs.h"
#include "window/base_form.h"

using editor::MouseButton;

namespace {

struct Session {
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<app::Windows> w;
    int saves = 0;

    Session() {
        QDir::setCurrent(dir.path());
        w = app::CreateWindows();
        w->BaseForm->setDialogs(&dialogs);
    }
    ~Session() {
        w.reset();
        QDir::setCurrent(oldCwd);
    }
    editor::Editor& ed() { return w->BaseForm->editor(); }
    void click(const char* button) {
        QTest::mouseClick(w->BaseForm->button(QString::fromUtf8(button)), Qt::LeftButton);
    }
    // Saves through Save As to a new file and returns its bytes.
    QByteArray saveAs() {
        const QString name = dir.filePath(QStringLiteral("step%1.ilz").arg(++saves));
        dialogs.fileAnswers = {name};
        w->BaseForm->action(QStringLiteral("SaveAsItem"))->trigger();
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QByteArray Expected(const model::Contour& c) {
    const auto image = model::EncodeContourFile(c.Buffer, c.State.PointCount);
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

}  // namespace

TEST(Workflow, EveryWholeContourCommandReachesTheSavedFile) {
    Session s;
    s.click("SpeedButtonPen");
    s.ed().PaintBoxVardeniMouseDown(MouseButton::Left, 120, 140);
    for (int i = 1; i <= 12; ++i) {
        s.ed().PaintBoxVardeniMouseMove(120 + 16 * i, 140 + (i % 3) * 20);
    }
    s.ed().PaintBoxVardeniMouseUp(MouseButton::Left, 312, 160);
    ASSERT_GT(s.ed().state().PointCount, 10);

    // The model's own view of what each command does, applied to a copy.
    model::Contour expected = s.ed().contour();
    EXPECT_EQ(s.saveAs(), Expected(expected));
    // Saving writes the count into slot 4090 of the live buffer; keep the copy in step.
    expected.Buffer[model::kCountSlot] = expected.State.PointCount;

    s.click("SpeedButtonMirrorGor");
    model::MirrorGor(expected);
    EXPECT_EQ(s.saveAs(), Expected(expected));

    s.click("SpeedButtonMirrorVert");
    model::MirrorVert(expected);
    EXPECT_EQ(s.saveAs(), Expected(expected));

    s.click("SpeedButtonRotate");
    expected.State.RotateScale = model::kScaleTurn;
    ASSERT_TRUE(model::RotateArea(expected, 90));
    EXPECT_EQ(s.saveAs(), Expected(expected));

    s.click("SpeedButtonYu");
    expected.State.RotateScale = model::kScaleEnlarge;
    ASSERT_TRUE(model::RotateArea(expected, 90));
    EXPECT_EQ(s.saveAs(), Expected(expected));

    s.click("SpeedButtonReturn128");
    ASSERT_TRUE(model::ReturnPath(expected));
    EXPECT_EQ(s.saveAs(), Expected(expected));

    s.click("SpeedButtonNormalDistance");
    model::NormalDistance(expected, s.w->settings.ScrollBarFriqPoints);
    EXPECT_EQ(s.saveAs(), Expected(expected));
    EXPECT_EQ(s.ed().state().PointCount, expected.State.PointCount);

    // The commands take no snapshot: one Undo goes back to before the last press on the
    // surface, the start of the stroke, and takes every command with it.
    s.ed().SpeedButtonUndoClick();
    EXPECT_EQ(s.ed().state().PointCount, 0);
}

TEST(Workflow, NormalisationHidesTheUnderlayWhileItsToggleStaysDown) {
    Session s;
    widgets::SpeedButton* toggle = s.w->BaseForm->button(QStringLiteral("SpeedButtonPictureON"));
    s.click("SpeedButtonPictureON");  // the built-in picture
    ASSERT_TRUE(toggle->isDown());
    ASSERT_TRUE(s.ed().underlay().visible());
    s.ed().Repaint();
    const QRgb face = editor::ResolveColor(editor::clBtnFace);
    const auto underlayPixels = [&] {
        const QImage& img = s.ed().canvas().image();
        int n = 0;
        for (int y = 0; y < 384; y += 4) {
            for (int x = 0; x < 384; x += 4) {
                n += (img.pixel(x, y) | 0xFF000000u) != (face | 0xFF000000u) ? 1 : 0;
            }
        }
        return n;
    };
    const int shown = underlayPixels();
    ASSERT_GT(shown, 50);

    s.click("SpeedButtonNormalDistance");
    EXPECT_FALSE(s.ed().underlay().visible());
    EXPECT_TRUE(toggle->isDown());
    EXPECT_LT(underlayPixels(), shown / 4);
    // The next click raises the toggle, and the picture stays hidden.
    s.click("SpeedButtonPictureON");
    EXPECT_FALSE(toggle->isDown());
    EXPECT_FALSE(s.ed().underlay().visible());
}
