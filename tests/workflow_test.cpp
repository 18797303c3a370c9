// Whole editing sessions through the main window: drawing, every whole-contour command, and
// the saved file after each, checked against the contour model's own result.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/application.h"
#include "forms/preview_window.h"
#include "model/contour_file.h"
#include "model/transforms.h"
#include "preview/scan_model.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"
#include "support/wait.h"
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

// Colour and blanking from a drawing to the projector's file and back: a red and a blue square
// of an SVG come in red and blue with the jump between them dark, the surface shows the jump
// dotted, the preview leaves it dark, the ILDA file written carries the blanking bit and the
// two colours, and opening it again gives the same points in the same styles.
TEST(Workflow, ColoursAndTheDarkJumpGoFromAnSvgToAnIldaFileAndBack) {
    Session s;
    // 80 by 80 units of drawing fill the 383 pixels: 4.7875 to the unit. Red from (0, 0) to
    // (143.6, 143.6), blue from (239.4, 239.4) to (383, 383); the jump runs down the diagonal.
    const QString svg = s.dir.filePath(QStringLiteral("two.svg"));
    testing_support::WriteFile(
        svg, R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100">)"
             R"(<rect x="10" y="10" width="30" height="30" fill="none" stroke="#ff0000"/>)"
             R"(<rect x="60" y="60" width="30" height="30" fill="none" stroke="#0000ff"/>)"
             "</svg>");
    s.dialogs.fileAnswers = {svg};
    s.w->BaseForm->action(QStringLiteral("ItemImportSvg"))->trigger();
    const model::Contour& c = s.ed().contour();
    const std::vector<model::ContourPoint> points = c.Points();
    const std::vector<model::PointStyle> styles = c.PointStyles();
    ASSERT_GT(points.size(), 20u);
    const model::PointStyle red = model::PointStyle::Colour(0xFF0000);
    const model::PointStyle blue = model::PointStyle::Colour(0x0000FF);
    // The red corner twice, dark (the way back from the blue square ends there), red all round,
    // the dark jump (its fill and the blue corner twice), then blue all round.
    EXPECT_TRUE(styles[0].blanked && styles[1].blanked);
    EXPECT_EQ(points[0], points[1]);
    std::size_t i = 2;
    while (i < styles.size() && styles[i] == red) {
        ++i;
    }
    const std::size_t firstDark = i;
    while (i < styles.size() && styles[i].blanked) {
        ++i;
    }
    const std::size_t firstBlue = i;
    EXPECT_GT(firstDark, 8u);
    EXPECT_GE(firstBlue - firstDark, 2u);
    EXPECT_EQ(points[firstBlue - 1], points[firstBlue - 2]);  // the dwell at the blue corner
    for (; i < styles.size(); ++i) {
        EXPECT_EQ(styles[i], blue) << i;
    }
    EXPECT_EQ(styles.size() - firstBlue, firstDark - 2);  // both squares alike

    // The surface: red lines in the red square, blue in the blue one, and down the diagonal
    // between them a dotted line in the line colour, with the background between its dots.
    const QImage& surface = s.ed().canvas().image();
    const QRgb line = s.ed().BaseColor() | 0xFF000000u;
    const auto is = [&](int x, int y, QRgb colour) {
        return (surface.pixel(x, y) | 0xFF000000u) == (colour | 0xFF000000u);
    };
    int reds = 0, blues = 0, dots = 0, gaps = 0;
    for (int y = 0; y < 384; ++y) {
        for (int x = 0; x < 384; ++x) {
            reds += is(x, y, qRgb(255, 0, 0)) && x < 192 && y < 192 ? 1 : 0;
            blues += is(x, y, qRgb(0, 0, 255)) && x > 192 && y > 192 ? 1 : 0;
        }
    }
    for (int d = 160; d <= 225; ++d) {
        EXPECT_FALSE(is(d, d, qRgb(255, 0, 0)) || is(d, d, qRgb(0, 0, 255))) << d;
        dots += is(d, d, line) ? 1 : 0;
        gaps += is(d, d, line) ? 0 : 1;
    }
    EXPECT_GT(reds, 300);
    EXPECT_GT(blues, 300);
    EXPECT_GT(dots, 5);
    EXPECT_GT(gaps, 20);

    // The preview: the squares' sides lit in their colours, the diagonal between them dark.
    QTest::mouseClick(s.w->BaseForm->button(QStringLiteral("SpeedButtonPreview")), Qt::LeftButton);
    auto* p = s.w->BaseForm->findChild<forms::TPreviewForm*>(QStringLiteral("PreviewForm"));
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p));
    ASSERT_TRUE(
        testing_support::WaitUntil([&] { return p->contourPoints() == int(points.size()); }));
    const auto light = [&](int x, int y) {
        const int size = p->picture().width();
        return p->picture().pixel(int(std::floor(preview::ToPicture(x, size))),
                                  int(std::floor(preview::ToPicture(y, size))));
    };
    // The brightest light across a side, a few pixels either way.
    const auto across = [&](int x, int y, int (*channel)(QRgb)) {
        int most = 0;
        for (int dx = -3; dx <= 3; ++dx) {
            most = std::max(most, channel(light(x + dx, y)));
        }
        return most;
    };
    EXPECT_GT(across(143, 72, qRed), 40);    // the red square's right side
    EXPECT_GT(across(240, 311, qBlue), 40);  // the blue square's left side
    EXPECT_EQ(across(143, 72, qBlue), 0);
    for (int d = 160; d <= 225; d += 5) {
        EXPECT_EQ(light(d, d) & 0xFFFFFFu, 0u) << d;
    }

    // The ILDA file, read here from its bytes: one true-colour frame (format 5: x, y, status,
    // blue, green, red per point), the jump's points with the blanking bit, the rest red and
    // blue.
    const QString ild = s.dir.filePath(QStringLiteral("two.ild"));
    s.dialogs.fileAnswers = {ild};
    s.w->BaseForm->action(QStringLiteral("SaveAsItem"))->trigger();
    QFile f(ild);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GE(bytes.size(), 32);
    EXPECT_EQ(bytes.left(4), QByteArray("ILDA"));
    EXPECT_EQ(int(bytes[7]), 5);
    const auto byte = [&](qsizetype at) { return int(uint8_t(bytes[at])); };
    const int count = byte(24) << 8 | byte(25);
    ASSERT_EQ(count, int(points.size()));
    ASSERT_GE(bytes.size(), 32 + 8 * qsizetype(count));
    for (int k = 0; k < count; ++k) {
        const qsizetype r = 32 + 8 * qsizetype(k);
        const bool blanked = (byte(r + 4) & 0x40) != 0;
        const int rgb = byte(r + 7) << 16 | byte(r + 6) << 8 | byte(r + 5);
        const bool jump = k < 2 || (std::size_t(k) >= firstDark && std::size_t(k) < firstBlue);
        EXPECT_EQ(blanked, jump) << k;
        if (!jump) {
            EXPECT_EQ(rgb, std::size_t(k) < firstDark ? 0xFF0000 : 0x0000FF) << k;
        }
        EXPECT_EQ((byte(r + 4) & 0x80) != 0, k == count - 1) << k;
    }

    // Opened again: the same points dark, the same colours on the lit ones.
    s.dialogs.fileAnswers = {ild};
    s.w->BaseForm->action(QStringLiteral("OpenFileItem"))->trigger();
    const std::vector<model::PointStyle> reopened = c.PointStyles();
    ASSERT_EQ(reopened.size(), styles.size());
    for (std::size_t k = 0; k < styles.size(); ++k) {
        EXPECT_EQ(reopened[k].blanked, styles[k].blanked) << k;
        if (!styles[k].blanked) {
            EXPECT_EQ(reopened[k], styles[k]) << k;
        }
    }
}
