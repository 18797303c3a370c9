// Text: the dialog's preview update after a change of a 40-letter text 15 pixels high (the
// layout, the join in reading order and the line handed to the surface), for a Hershey and an
// outline font; and the points "ЛАЗЕРНОЕ ШОУ" needs at 30 pixels (the largest height at which
// it lies on the surface in cyrillic) and the pen's spacing in each kind of font.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "app/application.h"
#include "bench_support.h"
#include "editor/settings.h"
#include "formats/text.h"
#include "window/text_commands.h"

namespace {

const char* const kFonts[] = {"cyrillic", "DejaVu Sans"};
const char* const kTitles[] = {"Кириллица", "DejaVu Sans"};  // as the dialog lists them

void BM_TextPreview40(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    int shown = 0;
    window::TextDialog dialog(&form, editor::EditorSettings{}.ScrollBarFriqPoints, {}, {},
                              [&](const window::Overlay& overlay) {
                                  form.surface()->setOverlay(overlay);
                                  ++shown;
                              });
    auto* font = dialog.findChild<QComboBox*>(QStringLiteral("TextFont"));
    font->setCurrentIndex(font->findText(QString::fromUtf8(kTitles[state.range(0)])));
    state.SetLabel(font->currentText().toStdString());
    // The largest height at which both texts lie on the surface in both fonts.
    dialog.findChild<QSpinBox*>(QStringLiteral("TextHeight"))->setValue(15);
    auto* text = dialog.findChild<QPlainTextEdit*>(QStringLiteral("TextText"));
    // Two texts of 40 letters in two lines, by turns, so that every change lays out anew.
    const QString texts[] = {QStringLiteral("ЛАЗЕРНОЕ ШОУ НА ПЛОЩАДИ\nСЕГОДНЯ В 22:00!"),
                             QStringLiteral("С ДНЁМ РОЖДЕНИЯ, МАША\nИ ВСЕГО САМОГО ЛУЧ")};
    int turn = 0;
    for (auto _ : state) {
        const int before = shown;
        text->setPlainText(texts[turn ^= 1]);
        while (shown == before) {
            QApplication::processEvents();
        }
    }
    state.counters["points"] = double(dialog.result().contour.needed);
}
BENCHMARK(BM_TextPreview40)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TextPointsLaserShow(benchmark::State& state) {
    formats::TextOptions o;
    o.text = QStringLiteral("ЛАЗЕРНОЕ ШОУ");
    o.font = *formats::FindTextFont(QString::fromUtf8(kFonts[state.range(0)]));
    o.height = 30;
    state.SetLabel(o.font.name.toStdString());
    size_t points = 0;
    for (auto _ : state) {
        points =
            formats::TextAndJoin(o, editor::EditorSettings{}.ScrollBarFriqPoints).contour.needed;
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
}
BENCHMARK(BM_TextPointsLaserShow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
