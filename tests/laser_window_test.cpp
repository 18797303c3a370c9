// The "Лазер" window with the test Ether Dream on 127.0.0.1: it opens stopped, plays the stage's
// stream of the contour, follows an edit, and F12, closing the window and quitting each stop
// the DAC. The search finds a unit that answers the IDN scan and a DAC's announcement, both
// sent on 127.0.0.1.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>

#include "app/application.h"
#include "editor/colors.h"
#include "editor/show.h"
#include "forms/preview_window.h"
#include "output/discovery.h"
#include "support/ether_dream_dac.h"
#include "support/wait.h"
#include "window/laser_window.h"
#include "window/output_memory.h"

using testing_support::EtherDreamDac;
using testing_support::WaitUntil;
using window::LaserWindow;

namespace {

struct Laser {
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    window::TBaseForm& form = *w->BaseForm;
    LaserWindow& Open() {
        form.button(QStringLiteral("SpeedButtonLaser"))->click();
        return *form.laserWindow();
    }
    QPushButton* Start() {
        return form.laserWindow()->findChild<QPushButton*>(QStringLiteral("LaserStart"));
    }
    void StartOn(const EtherDreamDac& dac) {
        LaserWindow& l = Open();
        l.findChild<QLineEdit*>(QStringLiteral("LaserAddress"))
            ->setText(QStringLiteral("etherdream:127.0.0.1:%1").arg(dac.Port()));
        Start()->click();
    }
    // The stream the stage makes of the editor's contour with the window's settings.
    std::vector<model::stage::Sample> Expected() {
        const model::Contour& c = form.editor().contour();
        return model::stage::Build(c.Points(), c.PointStyles(),
                                   form.laserWindow()->StageSettings().defaultColour,
                                   form.laserWindow()->StageSettings());
    }
};

// A sample as the DAC plays it: colours to 16 bits, the intensity their brightest.
bool Matches(const EtherDreamDac::Point& p, const model::stage::Sample& s) {
    return p.x == s.x && p.y == s.y && p.r == s.r * 257 && p.g == s.g * 257 && p.b == s.b * 257 &&
           p.i == std::max({s.r, s.g, s.b}) * 257;
}

// Whether the DAC has played `stream` whole, from its start, after point `from`.
bool PlayedWhole(const EtherDreamDac& dac, size_t from,
                 const std::vector<model::stage::Sample>& stream) {
    const auto& p = dac.Played();
    for (size_t i = from; i + stream.size() <= p.size(); ++i) {
        size_t k = 0;
        while (k < stream.size() && Matches(p[i + k], stream[k])) {
            ++k;
        }
        if (k == stream.size()) {
            return true;
        }
    }
    return false;
}

void Draw(window::TBaseForm& form, std::initializer_list<std::pair<int, int>> pixels,
          std::vector<model::PointStyle> styles = {}) {
    std::vector<model::ContourPoint> points;
    for (const auto& [x, y] : pixels) {
        points.push_back({model::PixelToUnit(x), model::PixelToUnit(y)});
    }
    form.editor().contour().SetPoints(points, styles);
    // The end of the step, as every command and surface event ends.
    form.editor().document().Settle();
}

// The stop command came last: the DAC is idle with its output blanked.
bool StoppedByCommand(const EtherDreamDac& dac) {
    const auto commands = dac.Commands();
    return !commands.empty() && commands.back() == 's' &&
           dac.State().playback == output::ether_dream::kIdle &&
           (dac.State().playbackFlags & output::ether_dream::kShutterOpen) == 0;
}

}  // namespace

TEST(LaserWindow, OpensStoppedFromTheToolbarAndTheMenuAndNeedsADevice) {
    Laser l;
    EXPECT_EQ(l.form.laserWindow(), nullptr);
    l.form.action(QStringLiteral("LaserItem"))->trigger();
    ASSERT_NE(l.form.laserWindow(), nullptr);
    EXPECT_TRUE(l.form.laserWindow()->isVisible());
    EXPECT_FALSE(l.form.laserWindow()->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_FALSE(l.form.laserWindow()->Running());
    // The palette's button beside the text's, overlapping no other, with F12 in its hint.
    widgets::SpeedButton* b = l.form.button(QStringLiteral("SpeedButtonLaser"));
    const QRect text = l.form.button(QStringLiteral("SpeedButtonText"))->geometry();
    EXPECT_EQ(b->geometry().top(), text.top());
    EXPECT_EQ(b->geometry().left(), 30);
    for (auto* other : b->parentWidget()->findChildren<widgets::SpeedButton*>()) {
        if (other != b) {
            EXPECT_FALSE(other->geometry().intersects(b->geometry()))
                << other->objectName().toStdString();
        }
    }
    EXPECT_TRUE(b->toolTip().contains(QStringLiteral("F12")));
    EXPECT_EQ(l.Start()->text(), QStringLiteral("Пуск"));
    // The button's text is large.
    EXPECT_GE(QFontInfo(l.Start()->font()).pixelSize(),
              QFontInfo(l.form.laserWindow()->font()).pixelSize() * 3 / 2);
    // Without a device nothing starts; the state line says what to do, in lines of its own
    // room: the button does not move.
    LaserWindow& w = *l.form.laserWindow();
    w.layout()->activate();
    const QRect button = l.Start()->geometry();
    l.Start()->click();
    EXPECT_FALSE(w.Running());
    w.layout()->activate();
    EXPECT_GT(w.findChild<QLabel*>(QStringLiteral("LaserState"))->text().size(), 60);
    EXPECT_EQ(l.Start()->geometry(), button);
    // A zone size typed counts when it is complete: typing 50 does not set 5 % first.
    auto* size = w.findChild<QSpinBox*>(QStringLiteral("LaserZoneSize"));
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("50"));
    EXPECT_EQ(l.form.editor().document().output().get().zone.sizePercent, 100);
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_EQ(l.form.editor().document().output().get().zone.sizePercent, 50);
    // A device that refuses the connection: the output stops by itself and the state says why.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    l.form.laserWindow()
        ->findChild<QLineEdit*>(QStringLiteral("LaserAddress"))
        ->setText(QStringLiteral("etherdream:127.0.0.1:%1").arg(port));
    l.Start()->click();
    ASSERT_TRUE(WaitUntil([&] { return !l.form.laserWindow()->Running(); }, 5000));
    EXPECT_EQ(l.Start()->text(), QStringLiteral("Пуск"));
    EXPECT_EQ(l.form.laserWindow()->findChild<QLabel*>(QStringLiteral("LaserState"))->text(),
              QStringLiteral("Лазер: etherdream:127.0.0.1:%1: соединение отклонено").arg(port));
    l.form.laserWindow()->close();
    EXPECT_EQ(&l.Open(), l.form.laserWindow());
    EXPECT_FALSE(l.form.laserWindow()->Running());
}

TEST(LaserWindow, PlaysTheContourFollowsAnEditAndF12StopsFromTheMainWindow) {
    EtherDreamDac dac;
    Laser l;
    Draw(l.form, {{100, 100}, {200, 100}, {200, 200}, {120, 260}},
         {{}, model::PointStyle::Colour(0x00FFFF), model::PointStyle::Dark(), {}});
    l.StartOn(dac);
    ASSERT_TRUE(l.form.laserWindow()->Running());
    EXPECT_EQ(l.Start()->text(), QStringLiteral("Стоп (F12)"));
    const auto first = l.Expected();
    ASSERT_TRUE(WaitUntil([&] { return PlayedWhole(dac, 0, first); }, 5000));

    // An edit and a change of the settings go out without pressing anything, announced by
    // the document: the window runs no timer.
    const size_t before = dac.PlayedCount();
    Draw(l.form, {{50, 300}, {300, 300}, {300, 50}});
    for (const QTimer* t : l.form.laserWindow()->findChildren<QTimer*>()) {
        EXPECT_FALSE(t->isActive());
    }
    l.form.laserWindow()->findChild<QSpinBox*>(QStringLiteral("LaserZoneSize"))->setValue(60);
    const auto second = l.Expected();
    ASSERT_NE(second, first);
    ASSERT_TRUE(WaitUntil([&] { return PlayedWhole(dac, before, second); }, 5000));
    // The preview draws what goes out, point for point.
    l.form.button(QStringLiteral("SpeedButtonPreview"))->click();
    auto* preview = l.form.findChild<forms::TPreviewForm*>(QStringLiteral("PreviewForm"));
    ASSERT_NE(preview, nullptr);
    preview->Refresh();
    ASSERT_GT(preview->stream().size(), 20u);
    ASSERT_TRUE(WaitUntil([&] { return PlayedWhole(dac, before, preview->stream()); }, 5000));

    // "Показ" down in both windows changes nothing while there is one frame; with a second one
    // the show goes out in time, the preview plays it, and both say its pace.
    const int renders = preview->renderCount();
    preview->findChild<QPushButton*>(QStringLiteral("ButtonPlay"))->click();
    l.form.laserWindow()->findChild<QPushButton*>(QStringLiteral("LaserPlay"))->click();
    EXPECT_EQ(preview->renderCount(), renders);
    editor::Document& document = l.form.editor().document();
    const size_t held = dac.PlayedCount();
    document.show().Insert(1, {{{0, 0}}, {}, {}});
    document.FramesChanged();
    document.Settle();
    const auto show =
        model::stage::Samples(editor::StreamOf(document.show(), document.output().get()));
    ASSERT_EQ(show.size(), 2400u);
    ASSERT_TRUE(WaitUntil([&] { return PlayedWhole(dac, held, show); }, 5000));
    EXPECT_EQ(preview->showStream().frames.size(), 2u);
    // A setting changed while the show plays: it goes on, in the new time.
    const size_t showing = dac.PlayedCount();
    l.form.laserWindow()->findChild<QSpinBox*>(QStringLiteral("LaserFps"))->setValue(50);
    const auto faster =
        model::stage::Samples(editor::StreamOf(document.show(), document.output().get()));
    ASSERT_EQ(faster.size(), 1200u);
    ASSERT_TRUE(WaitUntil([&] { return PlayedWhole(dac, showing, faster); }, 5000));
    for (const QLabel* pace :
         {l.form.laserWindow()->findChild<QLabel*>(QStringLiteral("LaserPace")),
          preview->findChild<QLabel*>(QStringLiteral("LabelShow"))}) {
        EXPECT_EQ(pace->text(), QStringLiteral("Показ: 50 кадров/с"));
    }

    // The main window shows that the beam is on: the Лазер button down, its menu item checked,
    // a status text that fits its panel.
    EXPECT_TRUE(l.form.button(QStringLiteral("SpeedButtonLaser"))->isChecked());
    EXPECT_TRUE(l.form.action(QStringLiteral("LaserItem"))->isChecked());
    ASSERT_TRUE(WaitUntil([&] {
        return l.form.statusPanels()->panelText(editor::kPanelDot) ==
               QStringLiteral("Лазер включён");
    }));

    // F12 in the main window: the DAC gets its stop.
    l.form.show();
    l.form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&l.form));
    QTest::keyClick(&l.form, Qt::Key_F12);
    EXPECT_FALSE(l.form.laserWindow()->Running());
    EXPECT_EQ(l.Start()->text(), QStringLiteral("Пуск"));
    ASSERT_TRUE(WaitUntil([&] { return StoppedByCommand(dac); }, 5000));
    EXPECT_EQ(dac.Naks(), 0);
    EXPECT_EQ(dac.Underflows(), 0);
    // The status bar says so, the whole line in its hint; the button is up again.
    ASSERT_TRUE(WaitUntil(
        [&] { return l.form.statusPanels()->toolTip().contains(QStringLiteral("погашен")); },
        5000));
    EXPECT_EQ(l.form.statusPanels()->panelText(editor::kPanelDot),
              QStringLiteral("Лазер выключен"));
    EXPECT_FALSE(l.form.button(QStringLiteral("SpeedButtonLaser"))->isChecked());
}

TEST(LaserWindow, TheButtonClosingTheWindowAndQuittingStopTheDac) {
    enum class How { Button, Close, Quit };
    struct Row {
        const char* what;
        How how;
    };
    for (const Row& r : {Row{"the Стоп button", How::Button}, Row{"closing the window", How::Close},
                         Row{"quitting", How::Quit}}) {
        SCOPED_TRACE(r.what);
        EtherDreamDac dac;
        auto l = std::make_unique<Laser>();
        Draw(l->form, {{100, 100}, {200, 150}});
        l->StartOn(dac);
        ASSERT_TRUE(WaitUntil([&] { return dac.PlayedCount() > 1000; }, 5000));
        switch (r.how) {
            case How::Button:
                ASSERT_TRUE(l->form.laserWindow()->Running());
                l->Start()->click();
                EXPECT_EQ(l->Start()->text(), QStringLiteral("Пуск"));
                break;
            case How::Close:
                l->form.laserWindow()->close();
                // Opened again, it is stopped again.
                EXPECT_FALSE(l->Open().Running());
                EXPECT_EQ(l->Start()->text(), QStringLiteral("Пуск"));
                break;
            case How::Quit:
                l.reset();
                break;
        }
        ASSERT_TRUE(WaitUntil([&] { return StoppedByCommand(dac); }, 5000));
        const auto commands = dac.Commands();
        const auto answers = dac.Answers();
        EXPECT_EQ(dac.Naks(), 0) << std::string(commands.begin(), commands.end()) << "\n"
                                 << std::string(answers.begin(), answers.end());
        EXPECT_EQ(dac.Underflows(), 0);
    }
}

TEST(LaserWindow, AnEmptyContourSendsTheBeamDark) {
    EtherDreamDac dac;
    Laser l;
    l.StartOn(dac);
    ASSERT_TRUE(WaitUntil([&] { return dac.PlayedCount() > 2000; }, 5000));
    for (const auto& p : dac.Played()) {
        ASSERT_EQ(p.r | p.g | p.b | p.i, 0);
    }
}

TEST(LaserWindow, TheSearchListsAnIdnUnitAndAnEtherDreamOnTheLoopback) {
    // A unit that answers the scan with its name.
    QUdpSocket unit;
    ASSERT_TRUE(unit.bind(QHostAddress::LocalHost, 0));
    QObject::connect(&unit, &QUdpSocket::readyRead, [&] {
        while (unit.hasPendingDatagrams()) {
            QByteArray d(unit.pendingDatagramSize(), '\0');
            QHostAddress from;
            quint16 port = 0;
            unit.readDatagram(d.data(), d.size(), &from, &port);
            if (d.size() >= 4 && quint8(d[0]) == output::idn_hello::kScanRequest) {
                QByteArray answer("\x11\x00", 2);
                answer.append(d.mid(2, 2));
                answer.append(char(40)).append(char(0x10)).append(2, '\0');
                answer.append(QByteArray(16, '\x07'));
                answer.append(QByteArray("Projector-1").leftJustified(20, '\0'));
                unit.writeDatagram(answer, from, port);
            }
        }
    });
    // The DAC's announcement, sent here to 127.0.0.1 only: its MAC address first.
    QUdpSocket dac;
    QUdpSocket portFinder;
    ASSERT_TRUE(portFinder.bind(QHostAddress::LocalHost, 0));
    const quint16 listen = portFinder.localPort();
    portFinder.close();
    QByteArray announcement("\x00\x11\x22\xaa\xbb\xcc", 6);
    announcement.append(QByteArray(30, '\0'));

    Laser l;
    LaserWindow& w = l.Open();
    w.setDiscoveryPlaces(
        {QHostAddress::LocalHost, unit.localPort(), QHostAddress::LocalHost, listen});
    auto* devices = w.findChild<QListWidget*>(QStringLiteral("LaserDevices"));
    w.findChild<QPushButton*>(QStringLiteral("LaserFind"))->click();
    ASSERT_TRUE(WaitUntil(
        [&] {
            dac.writeDatagram(announcement, QHostAddress::LocalHost, listen);
            return devices->count() == 2;
        },
        5000));
    QStringList found;
    for (int i = 0; i < devices->count(); ++i) {
        found << devices->item(i)->text();
    }
    found.sort();
    EXPECT_EQ(found, (QStringList{
                         QStringLiteral("Ether Dream 00:11:22:aa:bb:cc — "
                                        "etherdream:127.0.0.1:7765"),
                         QStringLiteral("Projector-1 — idn:127.0.0.1:%1").arg(unit.localPort())}));
    // Choosing one puts its address in the field.
    devices->setCurrentRow(devices->row(
        devices->findItems(QStringLiteral("Projector-1"), Qt::MatchStartsWith).front()));
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("LaserAddress"))->text(),
              QStringLiteral("idn:127.0.0.1:%1").arg(unit.localPort()));
}

// The device and the settings are kept between runs: what a file holds comes back whole, an
// unreadable or out-of-range value falls back or into its range, and the program keeps them
// when output starts and when the main window closes.
TEST(LaserWindow, TheDeviceAndTheSettingsAreKeptBetweenRuns) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config/output.ini"));
    window::OutputMemory all{
        QStringLiteral("etherdream:127.0.0.1:7765"),
        {45'000, 30, 5, 6, 7, 2500, 3, {70, -10, 25, true, true, 3}, 80, 0xFF8000, 12, true}};
    ASSERT_TRUE(window::WriteOutputMemory(path, all));
    EXPECT_EQ(window::ReadOutputMemory(path), all);
    EXPECT_EQ(window::ReadOutputMemory(dir.filePath(QStringLiteral("none.ini"))),
              window::OutputMemory{});

    QFile bad(dir.filePath(QStringLiteral("bad.ini")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(
        "[General]\nrate=fast\nbrightness=250\n[zone]\nsize=0\nquarter_turns=5\n"
        "[beam]\ndefault_colour=bright\n");
    bad.close();
    const window::OutputMemory b = window::ReadOutputMemory(bad.fileName());
    EXPECT_EQ(b.stage.pointRate, 30'000);
    EXPECT_EQ(b.stage.defaultColour, 0x00FF00u);
    EXPECT_EQ(b.stage.brightnessPercent, 100);
    EXPECT_EQ(b.stage.zone.sizePercent, 1);
    EXPECT_EQ(b.stage.zone.quarterTurns, 1);

    // The program: the kept settings in the window, the address typed kept once output
    // starts, a rate chosen in the preview kept when the main window closes.
    EtherDreamDac dac;
    {
        Laser l;
        l.form.KeepOutputSettings(path);
        LaserWindow& w = l.Open();
        EXPECT_EQ(w.StageSettings(), all.stage);
        EXPECT_EQ(w.address(), all.address);
        w.setAddress(QStringLiteral("etherdream:127.0.0.1:%1").arg(dac.Port()));
        l.Start()->click();
        ASSERT_TRUE(w.Running());
        EXPECT_EQ(window::ReadOutputMemory(path).address, w.address());
        model::stage::Settings slower = l.form.editor().document().output().get();
        slower.pointRate = 20'000;
        l.form.editor().document().output().set(slower);
        EXPECT_EQ(window::ReadOutputMemory(path).stage.pointRate, 45'000);
        EXPECT_TRUE(l.form.close());
        EXPECT_EQ(window::ReadOutputMemory(path).stage.pointRate, 20'000);
    }
    ASSERT_TRUE(WaitUntil([&] { return StoppedByCommand(dac); }, 5000));
}
