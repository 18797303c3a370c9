#include "window/ilda_commands.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPolygonF>

#include "formats/contour_files.h"

namespace window {

namespace {

constexpr int kFramePictureSize = 128;

// A small picture of a frame's points as the surface would show them, for choosing a frame.
QImage FramePicture(const std::vector<model::ContourPoint>& points, QRgb line) {
    QImage image(kFramePictureSize, kFramePictureSize, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPolygonF polygon;
    polygon.reserve(qsizetype(points.size()));
    const double scale = double(kFramePictureSize - 1) / double(model::kMaxUnit - model::kMinUnit);
    for (const model::ContourPoint& p : points) {
        polygon << QPointF((double(p.x) - model::kMinUnit) * scale,
                           (double(p.y) - model::kMinUnit) * scale);
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(line), 1));
    painter.drawPolyline(polygon);
    return image;
}

model::ilda::Rgb LineRgb(editor::Editor& editor) {
    const QRgb line = editor::ResolveColor(editor.settings().ColorBoxLine);
    return {uint8_t(qRed(line)), uint8_t(qGreen(line)), uint8_t(qBlue(line))};
}

}  // namespace

std::optional<size_t> ChooseIldaFrame(Dialogs& dialogs, const formats::IldaShow& show, QRgb line) {
    // A show of several frames: the user picks one. A file of one frame reads as it always has.
    if (!show.error.isEmpty() || show.list.frames.size() <= 1) {
        return 0;
    }
    FrameChoiceSpec choice;
    choice.title = QCoreApplication::translate("window::IldaCommands", "Кадр ILDA");
    choice.count = int(show.list.frames.size());
    choice.text = show.ChoiceText();
    choice.picture = [&](int n) {
        const auto& f = show.list.frames[size_t(std::clamp(n, 1, choice.count) - 1)];
        return FramePicture(model::ilda::DecodeFrame(show.bytes(), f).points, line);
    };
    choice.caption = [&](int n) { return show.Caption(n); };
    const std::optional<int> n = dialogs.chooseFrame(choice);
    if (!n || *n < 1 || *n > choice.count) {
        return std::nullopt;
    }
    return size_t(*n - 1);
}

IldaCommands::IldaCommands(CommandWindow& window) : window_(window) {
    saveDialog_.title = QCoreApplication::translate("window::IldaCommands", "Экспорт ILDA");
    // The kind's filter, and the same kind once more in the colours of older players.
    const formats::KindInfo& ilda = formats::Info(formats::Kind::Ilda);
    saveDialog_.filter =
        ilda.Filter() + QStringLiteral("|") +
        QCoreApplication::translate("window::IldaCommands",
                                    "ILDA, с индексами цветов для старых проигрывателей (*.ild)") +
        QStringLiteral("|*.") + ilda.extensions.front();
    saveDialog_.defaultExt = QStringLiteral("ild");
    openDialog_.title = QCoreApplication::translate("window::IldaCommands", "Импорт ILDA");
    openDialog_.filter = formats::Filters({formats::Kind::Ilda}, true);
    openDialog_.defaultExt = QStringLiteral("ild");
}

void IldaCommands::ItemExportIldaClick() {
    Dialogs& dialogs = window_.dialogs();
    editor::Editor& editor = window_.editor();
    const editor::Show& show = editor.document().show();
    if (show.count() == 1 && editor.contour().State.PointCount <= 0) {
        // Said before the dialog: there is no file to choose.
        ShowMessage(dialogs, MessageType::Information,
                    QCoreApplication::translate("window::IldaCommands",
                                                "Контур пуст: экспортировать нечего."));
        return;
    }
    const std::optional<QString> name = dialogs.saveFile(saveDialog_);
    if (!name) {
        return;
    }
    formats::WriteOptions options;
    options.ildaFormat =
        saveDialog_.filterIndex == 2 ? model::ilda::kIndexed2D : model::ilda::kTrueColor2D;
    options.lineColor = LineRgb(editor);
    // A show goes out whole, every frame in its turn.
    const formats::Written written = show.count() > 1
                                         ? formats::WriteIldaShow(*name, show.frames(), options)
                                         : formats::WriteIldaFile(*name, editor.contour(), options);
    if (!written.ok) {
        ShowMessage(dialogs, MessageType::Error, written.error);
    } else if (!written.notes.isEmpty()) {
        // What a projector will make of the frame.
        ShowMessage(dialogs, MessageType::Warning, written.notes.join(QLatin1Char('\n')));
    }
}

void IldaCommands::ItemImportIldaClick() {
    LoadFile(window_.editor(), window_.dialogs(), openDialog_, std::nullopt,
             [this](const QString& name) { Import(name); });
}

void IldaCommands::ImportFile(const QString& name) {
    LoadFile(window_.editor(), window_.dialogs(), openDialog_, name,
             [this](const QString& file) { Import(file); });
}

void IldaCommands::Import(const QString& name) {
    const formats::IldaShow show = formats::ReadIldaShow(name);
    const std::optional<size_t> chosen = ChooseIldaFrame(
        window_.dialogs(), show, editor::ResolveColor(window_.editor().settings().ColorBoxLine));
    if (chosen) {
        TakeImport(window_, formats::ImportIldaFrame(show, *chosen));
    }
}

}  // namespace window
