#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <cmath>

#include "app/application.h"
#include "formats/contour_files.h"
#include "model/ilda.h"
#include "support/modal.h"
#include "support/scripted_dialogs.h"

using editor::MouseButton;
using window::MessageType;

namespace {

// The main window with its dialogs answered by a script, and a folder for the files.
struct Ilda {
    QTemporaryDir dir;
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    Ilda() { w->BaseForm->setDialogs(&dialogs); }
    editor::Editor& ed() { return w->BaseForm->editor(); }
    int count() { return ed().state().PointCount; }
    void trigger(const char* name) { w->BaseForm->action(QString::fromUtf8(name))->trigger(); }
    void draw(std::initializer_list<std::pair<int, int>> pts) {
        ed().SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
        for (const auto& [x, y] : pts) {
            ed().PaintBoxVardeniMouseDown(MouseButton::Left, x, y);
            ed().PaintBoxVardeniMouseUp(MouseButton::Left, x, y);
        }
    }
    QByteArray read(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace

TEST(IldaCommands, ExportWritesTheContourInTheChosenFormat) {
    Ilda t;
    t.draw({{100, 100}, {110, 100}, {120, 100}});
    const QString name = t.dir.filePath(QStringLiteral("Кадр один.ild"));
    t.dialogs.fileAnswers = {name};
    t.trigger("ItemExportIlda");
    ASSERT_EQ(t.dialogs.fileDialogs.size(), 1u);
    EXPECT_TRUE(t.dialogs.fileDialogWasSave[0]);
    EXPECT_TRUE(t.dialogs.fileDialogs[0].filter.startsWith(QStringLiteral("ILDA (*.ild)|*.ild")));
    EXPECT_EQ(t.dialogs.fileDialogs[0].defaultExt, QStringLiteral("ild"));
    const QByteArray bytes = t.read(name);
    ASSERT_EQ(bytes.size(), 32 + 3 * 8 + 32);
    EXPECT_EQ(bytes[7], 5);
    // The line colour, green, in blue-green-red order.
    EXPECT_EQ(uint8_t(bytes[32 + 5]), 0);
    EXPECT_EQ(uint8_t(bytes[32 + 6]), 128);
    EXPECT_EQ(uint8_t(bytes[32 + 7]), 0);
    // Non-ASCII letters of the file name become '_' in the frame name.
    EXPECT_EQ(bytes.mid(8, 8), QByteArray("____ ___"));
    EXPECT_TRUE(t.dialogs.messages.empty());

    // The second filter writes indexed colours.
    t.dialogs.fileAnswers = {name};
    t.dialogs.filterAnswers = {2};
    t.trigger("ItemExportIlda");
    EXPECT_EQ(t.read(name).size(), 32 + 3 * 6 + 32);
    EXPECT_EQ(t.read(name)[7], 1);
}

TEST(IldaCommands, ExportWarnsAboutClampedPointsAndFlicker) {
    Ilda t;
    model::Contour& c = t.ed().contour();
    for (int i = 0; i < 1600; ++i) {
        c.WriteToBuffer(2 * i, i % 384, 10);
    }
    c.Buffer[0] = 2'100'000'000;  // left there by repeated enlargements
    c.State.PointCount = 1600;
    t.dialogs.fileAnswers = {t.dir.filePath(QStringLiteral("big.ild"))};
    t.trigger("ItemExportIlda");
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.messages[0].type, MessageType::Warning);
    EXPECT_TRUE(t.dialogs.messages[0].text.contains(QStringLiteral("1 точек")));
    EXPECT_TRUE(t.dialogs.messages[0].text.contains(QStringLiteral("1600")));
    EXPECT_EQ(t.read(t.dir.filePath(QStringLiteral("big.ild"))).size(), 32 + 1600 * 8 + 32);
}

TEST(IldaCommands, EmptyContourAndFailedWritesChangeNothing) {
    Ilda t;
    t.trigger("ItemExportIlda");
    EXPECT_TRUE(t.dialogs.fileDialogs.empty());
    ASSERT_EQ(t.dialogs.messages.size(), 1u);

    t.draw({{100, 100}});
    const QString name = t.dir.filePath(QStringLiteral("keep.ild"));
    QFile old(name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    // A parent that is a regular file cannot hold the new file.
    t.dialogs.fileAnswers = {name + QStringLiteral("/inside.ild")};
    t.trigger("ItemExportIlda");
    ASSERT_EQ(t.dialogs.messages.size(), 2u);
    EXPECT_EQ(t.dialogs.messages[1].type, MessageType::Error);
    EXPECT_EQ(t.read(name), QByteArray("old contents"));
}

TEST(IldaCommands, ImportReplacesTheContourAndUndoBringsItBack) {
    Ilda t;
    t.draw({{50, 50}, {60, 60}, {70, 70}, {80, 80}});
    const QString name = t.dir.filePath(QStringLiteral("frame.ild"));
    t.dialogs.fileAnswers = {name};
    t.trigger("ItemExportIlda");
    // A different contour now; import the exported one back.
    t.ed().state().PointCount = 1;
    t.dialogs.fileAnswers = {name};
    t.trigger("ItemImportIlda");
    ASSERT_EQ(t.count(), 4);
    for (int i = 0; i < 4; ++i) {
        const model::PixelPos p = t.ed().contour().PointPixel(i);
        EXPECT_LE(std::abs(p.x - (50 + 10 * i)), 1) << i;
        EXPECT_LE(std::abs(p.y - (50 + 10 * i)), 1) << i;
    }
    EXPECT_EQ(t.w->BaseForm->statusPanels()->panelText(2), QStringLiteral("Leng: 4"));
    t.ed().SpeedButtonUndoClick();
    EXPECT_EQ(t.count(), 1);
}

TEST(IldaCommands, CancelledOrRefusedImportKeepsTheContourButTakesTheSnapshot) {
    Ilda t;
    t.draw({{50, 50}, {60, 60}});
    t.trigger("ItemImportIlda");  // cancelled
    EXPECT_TRUE(t.w->BaseForm->button(QStringLiteral("SpeedButtonUndo"))->isEnabled());
    EXPECT_EQ(t.count(), 2);

    const QString bad = t.dir.filePath(QStringLiteral("bad.ild"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("ILDA\0\0\0\5", 8) + QByteArray(16, 'x') + QByteArray("\xFF\xFF", 2) +
            QByteArray(6, 0));
    f.close();
    t.dialogs.fileAnswers = {bad};
    t.trigger("ItemImportIlda");
    EXPECT_EQ(t.count(), 2);
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.messages[0].type, MessageType::Error);

    // A frame longer than the contour can hold names its length.
    QByteArray big("ILDA\0\0\0\1", 8);
    big += QByteArray(16, 0);
    big += QByteArray("\x0B\xB8", 2);  // 3000 records
    big += QByteArray(6, 0);
    big += QByteArray(3000 * 6, 0);
    QFile g(bad);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(big);
    g.close();
    t.dialogs.fileAnswers = {bad};
    t.trigger("ItemImportIlda");
    EXPECT_EQ(t.count(), 2);
    ASSERT_EQ(t.dialogs.messages.size(), 2u);
    EXPECT_TRUE(t.dialogs.messages[1].text.contains(QStringLiteral("3000")));
}

TEST(IldaCommands, FrameNames) {
    EXPECT_EQ(formats::IldaFrameName(QStringLiteral("/tmp/Spiral-long-name.ild")), "Spiral-l");
    EXPECT_EQ(formats::IldaFrameName(QStringLiteral("a.b.ild")), "a.b");
}

namespace {

// A frame section in format 5, written by hand: x, y big-endian, status, blue, green, red.
QByteArray FrameSection(const std::vector<std::pair<int, int>>& points, const char* name) {
    QByteArray s("ILDA\0\0\0\5", 8);
    s += QByteArray(name).leftJustified(8, '\0', true) + QByteArray(8, 0);
    s += char(points.size() >> 8);
    s += char(points.size() & 0xFF);
    s += QByteArray(6, 0);
    for (const auto& [x, y] : points) {
        const char r[8] = {char(x >> 8), char(x), char(y >> 8), char(y), 0, 0, char(255), 0};
        s += QByteArray(r, 8);
    }
    return s;
}

void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

// A show of eight frames: the user picks the third and gets its points. ILDA's 32767 is 192
// pixels from the centre, and its y axis points up.
TEST(IldaCommands, AnyFrameOfAShowCanBeChosen) {
    Ilda t;
    const auto framePoints = [](int k) {
        std::vector<std::pair<int, int>> pts;
        for (int i = 0; i < k + 2; ++i) {
            pts.emplace_back(1000 * k + 300 * i, -2000 * k + 100 * i);
        }
        return pts;
    };
    QByteArray show;
    for (int k = 1; k <= 8; ++k) {
        show += FrameSection(framePoints(k), "show");
    }
    show += FrameSection({}, "show");
    const QString name = t.dir.filePath(QStringLiteral("show.ild"));
    WriteFile(name, show);
    t.draw({{10, 10}});
    t.dialogs.fileAnswers = {name};
    t.dialogs.frameAnswers = {3};
    const QString tool = t.w->BaseForm->statusPanels()->panelText(editor::kPanelTool);
    ASSERT_FALSE(tool.isEmpty());
    t.trigger("ItemImportIlda");
    ASSERT_EQ(t.dialogs.frameChoices.size(), 1u);
    const window::FrameChoiceSpec& choice = t.dialogs.frameChoices[0];
    EXPECT_EQ(choice.count, 8);
    EXPECT_EQ(choice.initial, 1);
    EXPECT_TRUE(choice.text.contains(QStringLiteral("8 кадров")));
    EXPECT_TRUE(t.dialogs.frameCaptions[0][2].contains(QStringLiteral("5 точек")));
    ASSERT_EQ(t.count(), 5);
    EXPECT_EQ(t.w->BaseForm->statusPanels()->panelText(editor::kPanelSpare),
              QStringLiteral("Кадр 3/8"));
    EXPECT_EQ(t.w->BaseForm->statusPanels()->panelText(editor::kPanelTool), tool);
    const auto expected = framePoints(3);
    for (int i = 0; i < 5; ++i) {
        const model::Contour& c = t.ed().contour();
        EXPECT_NEAR(c.Slot(2 * i) / 5e6 + 192, 192 + expected[size_t(i)].first * 192 / 32767.0,
                    0.01);
        EXPECT_NEAR(c.Slot(2 * i + 1) / 5e6 + 192, 192 - expected[size_t(i)].second * 192 / 32767.0,
                    0.01);
    }

    // Cancelling the choice changes nothing; a show cut short offers the frames before the cut.
    t.dialogs.fileAnswers = {name};
    t.trigger("ItemImportIlda");
    EXPECT_EQ(t.count(), 5);
    WriteFile(name, show.left((32 + 3 * 8) + (32 + 4 * 8) + 40));  // into the third frame
    t.dialogs.fileAnswers = {name};
    t.trigger("ItemImportIlda");
    ASSERT_EQ(t.dialogs.frameChoices.size(), 3u);
    EXPECT_EQ(t.dialogs.frameChoices[2].count, 2);
    EXPECT_TRUE(t.dialogs.frameChoices[2].text.contains(QStringLiteral("повреждён после кадра 2")));
    EXPECT_EQ(t.count(), 5);
    // Cut inside its second frame, the show has one whole frame: no choice, and a note says
    // that the file ends early.
    WriteFile(name, show.left((32 + 3 * 8) + 40));
    t.dialogs.fileAnswers = {name};
    t.trigger("ItemImportIlda");
    EXPECT_EQ(t.dialogs.frameChoices.size(), 3u);
    EXPECT_EQ(t.count(), 3);
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(t.dialogs.messages.back().text,
              QStringLiteral("Файл обрывается внутри кадра 2: целых кадров в нём 1."));
}

// A frame of 3000 points, a spiral, is offered thinned; the answer brings what was promised.
TEST(IldaCommands, ALongFrameIsOfferedThinned) {
    Ilda t;
    std::vector<std::pair<int, int>> spiral;
    for (int i = 0; i < 3000; ++i) {
        const double a = i * 0.01;
        spiral.emplace_back(int(std::lround(i * 9 * std::cos(a))),
                            int(std::lround(i * 9 * std::sin(a))));
    }
    const QString name = t.dir.filePath(QStringLiteral("spiral.ild"));
    WriteFile(name, FrameSection(spiral, "spiral"));
    t.dialogs.fileAnswers = {name};
    t.dialogs.messageAnswers = {window::MessageButton::Ok};
    t.trigger("ItemImportIlda");
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    const window::MessageSpec& m = t.dialogs.messages[0];
    EXPECT_EQ(m.defaultButton, window::MessageButton::Ok);
    EXPECT_EQ(m.escapeButton, window::MessageButton::Cancel);
    EXPECT_TRUE(m.text.contains(QStringLiteral("3000")));
    ASSERT_LE(t.count(), 2041);
    EXPECT_GT(t.count(), 2000);
    EXPECT_TRUE(m.text.contains(QStringLiteral("до %1 точек").arg(t.count())));

    // Declined, the offer changes nothing.
    const int thinned = t.count();
    t.dialogs.fileAnswers = {name};
    t.dialogs.messageAnswers = {window::MessageButton::Cancel};
    t.ed().state().PointCount = 7;
    t.trigger("ItemImportIlda");
    EXPECT_EQ(t.dialogs.messages.size(), 2u);
    EXPECT_EQ(t.count(), 7);
    EXPECT_NE(thinned, 7);
}

// The frame dialog of the import itself: its picture of the frame shown, its caption, and the
// frame chosen in it; a show longer than what is read says which frames it offers.
TEST(IldaCommands, TheFrameDialogShowsEachFrameAndTheFramesOfALongShow) {
    Ilda t;
    QByteArray show;
    for (int k = 1; k <= 4; ++k) {
        std::vector<std::pair<int, int>> pts;
        for (int i = 0; i < k + 1; ++i) {
            pts.emplace_back(-20000 + 10000 * i, 5000 * k);
        }
        show += FrameSection(pts, "four");
    }
    const QString name = t.dir.filePath(QStringLiteral("four.ild"));
    WriteFile(name, show + FrameSection({}, "four"));
    t.w->BaseForm->setDialogs(nullptr);  // the window's own dialogs
    QStringList captions;
    int drawn = 0;  // frames whose picture shows their line
    testing_support::WhenModal<QDialog>([&](QDialog& d) {
        auto* number = d.findChild<QSpinBox*>(QStringLiteral("FrameNumber"));
        ASSERT_NE(number, nullptr);
        for (int n = 1; n <= 4; ++n) {
            number->setValue(n);
            for (const QLabel* label : d.findChildren<QLabel*>()) {
                if (!label->pixmap().isNull()) {
                    // The frame's line across the black picture, in the line colour: frame n
                    // lies at y = 5000 n of ILDA's 32767, 9.7 n pixels above the middle of the
                    // 128 of the picture, and from its left at 24.8 pixels on.
                    const QImage picture = label->pixmap().toImage();
                    const int y = int(std::lround(63.67 - 9.716 * n));
                    const int line = std::max({picture.pixelColor(40, y - 1).green(),
                                               picture.pixelColor(40, y).green(),
                                               picture.pixelColor(40, y + 1).green()});
                    drawn += line > 60 && picture.pixelColor(40, y + 5).green() < 30;
                } else if (label->text().startsWith(QStringLiteral("«"))) {
                    captions << label->text();
                }
            }
        }
        number->setValue(2);
        d.accept();
    });
    t.w->BaseForm->ildaCommands().ImportFile(name);
    EXPECT_EQ(drawn, 4);
    EXPECT_EQ(captions,
              (QStringList{QStringLiteral("«four», 2 точек"), QStringLiteral("«four», 3 точек"),
                           QStringLiteral("«four», 4 точек"), QStringLiteral("«four», 5 точек")}));
    EXPECT_EQ(t.count(), 3);

    // Past the 64 MiB that are read, the frames found in them are offered, and said to be.
    t.w->BaseForm->setDialogs(&t.dialogs);
    WriteFile(name, show);
    QFile(name).resize(show.size() + (qint64(65) << 20));  // zeros that take no room
    t.dialogs.fileAnswers = {name};
    t.trigger("ItemImportIlda");
    ASSERT_EQ(t.dialogs.frameChoices.size(), 1u);
    EXPECT_EQ(t.dialogs.frameChoices[0].count, 4);
    EXPECT_TRUE(t.dialogs.frameChoices[0].text.endsWith(
        QStringLiteral("\nПоказаны кадры из первых 64 МБ файла.")));
}
