#include "window/svg_commands.h"

#include <cmath>

#include "io/file_io.h"
#include "model/path_join.h"
#include "pictures/svg_reader.h"

namespace window {

namespace {

void ShowMessage(Dialogs& dialogs, MessageType type, const QString& text) {
    MessageSpec m;
    m.text = text;
    m.type = type;
    dialogs.message(m);
}

// The join at a spacing, left unbuilt when the paths' length alone needs more points than
// the contour holds: resampling a long drawing finely would only fill memory.
model::JoinedContour JoinIfItCanFit(const pictures::SvgDrawing& d, int spacing) {
    if (d.lengthPixels / spacing > double(model::kMaxContourPoints)) {
        return {};
    }
    return model::JoinPaths(d.paths, spacing);
}

}  // namespace

SvgCommands::SvgCommands(editor::Editor& editor) : editor_(editor) {
    openDialog_.title = QStringLiteral("Импорт SVG");
    openDialog_.filter = QStringLiteral("SVG (*.svg)|*.svg");
    openDialog_.defaultExt = QStringLiteral("svg");
}

void SvgCommands::ItemImportSvgClick(Dialogs& dialogs) {
    // Like the other commands that load a contour, the snapshot comes first.
    editor_.ToUndo();
    const std::optional<QString> name = dialogs.openFile(openDialog_);
    if (!name) {
        return;
    }
    QByteArray data;
    if (const io::FileResult r = io::ReadWholeFile(*name, pictures::kMaxSvgFileBytes, data); !r.ok) {
        ShowMessage(dialogs, MessageType::Error,
                    QStringLiteral("Не удаётся прочитать файл %1: %2").arg(*name, r.error));
        return;
    }
    const pictures::SvgDrawing drawing = pictures::ReadSvg(data);
    if (!drawing.ok()) {
        ShowMessage(
            dialogs, MessageType::Error,
            QStringLiteral("Не удаётся импортировать файл %1: %2.").arg(*name, drawing.error));
        return;
    }
    const QString textNote = drawing.textLeftOut > 0
                                 ? QStringLiteral("Надписей не вошло: %1 (Qt не дал их очертаний).")
                                       .arg(drawing.textLeftOut)
                                 : QString();
    if (drawing.paths.empty()) {
        ShowMessage(dialogs, MessageType::Error,
                    QStringLiteral("В рисунке %1 нет ни одной линии.").arg(*name) +
                        (textNote.isEmpty() ? QString() : QLatin1Char('\n') + textNote));
        return;
    }
    const int limit = int(model::kMaxContourPoints);
    if (drawing.paths.size() > model::kMaxContourPoints) {
        ShowMessage(dialogs, MessageType::Error,
                    QStringLiteral("В рисунке %1 линий, а контур вмещает не более %2 точек.")
                        .arg(drawing.paths.size())
                        .arg(limit));
        return;
    }

    // The pen's spacing; a drawing that needs more points is offered the smallest that fits.
    const int spacing = editor_.settings().ScrollBarFriqPoints;
    model::JoinedContour joined = JoinIfItCanFit(drawing, spacing);
    if (!joined.fits()) {
        const int smallest = model::SmallestFittingSpacing(drawing.paths, spacing);
        if (smallest == 0) {
            ShowMessage(dialogs, MessageType::Error,
                        QStringLiteral("Рисунок не помещается в контур из %1 точек даже при шаге "
                                       "30 пикселей.")
                            .arg(limit));
            return;
        }
        MessageSpec m;
        m.type = MessageType::Confirmation;
        m.text = QStringLiteral(
                     "При шаге пера %1 пикс. рисунку нужно больше %2 точек.\n"
                     "Импортировать с шагом %3 пикс., наименьшим, при котором он помещается?")
                     .arg(spacing)
                     .arg(limit)
                     .arg(smallest);
        m.buttons = {MessageButton::Ok, MessageButton::Cancel};
        m.defaultButton = MessageButton::Ok;
        m.escapeButton = MessageButton::Cancel;
        if (dialogs.message(m) != MessageButton::Ok) {
            return;
        }
        joined = model::JoinPaths(drawing.paths, smallest);
    }

    editor_.contour().SetPoints(joined.points);
    // The repaint writes the points to the length panel, as always; paths and jumps go to the
    // two spare ones, so that the tool's own text stays.
    editor_.PaintPic(true, true);
    editor::EditorHost& host = editor_.host();
    host.setStatusText(editor::kPanelSpare, QStringLiteral("Линий %1").arg(joined.paths));
    host.setStatusText(editor::kPanelDot,
                       QStringLiteral("Скачки %1 пикс.").arg(std::lround(joined.jumpPixels)));
    if (!textNote.isEmpty()) {
        ShowMessage(dialogs, MessageType::Information, textNote);
    }
}

}  // namespace window
