#include "window/ilda_commands.h"

#include <QFileInfo>
#include <QPainter>
#include <QPolygonF>

#include "io/file_io.h"
#include "model/ilda.h"

namespace window {

namespace {

// A file holds its palettes and first frame well within this, and a show most of its frames;
// the rest is not read.
constexpr qint64 kMaxIldaRead = 16 * 1024 * 1024;
constexpr int kFramePictureSize = 128;
constexpr int kPreviewRate = 30000;  // points per second of a typical scanner
constexpr const char* kCompany = "Quorinim";

void ShowMessage(Dialogs& dialogs, MessageType type, const QString& text) {
    MessageSpec m;
    m.text = text;
    m.type = type;
    dialogs.message(m);
}

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

}  // namespace

IldaCommands::IldaCommands(editor::Editor& editor) : editor_(editor) {
    saveDialog_.title = QStringLiteral("Export ILDA file");
    saveDialog_.filter =
        QStringLiteral("ILDA (*.ild)|*.ild|ILDA, indexed colours for older players (*.ild)|*.ild");
    saveDialog_.defaultExt = QStringLiteral("ild");
    openDialog_.title = QStringLiteral("Import ILDA file");
    openDialog_.filter = QStringLiteral("ILDA (*.ild)|*.ild|все файлы|*.*");
    openDialog_.defaultExt = QStringLiteral("ild");
}

std::string IldaCommands::FrameName(const QString& fileName) {
    const QString base = QFileInfo(fileName).completeBaseName();
    std::string name;
    for (const QChar c : base.left(8)) {
        name.push_back(c.unicode() < 0x80 && c.isPrint() ? char(c.unicode()) : '_');
    }
    return name;
}

void IldaCommands::ItemExportIldaClick(Dialogs& dialogs) {
    const model::Contour& contour = editor_.contour();
    const int count = contour.State.PointCount;
    if (count <= 0) {
        ShowMessage(dialogs, MessageType::Information,
                    QStringLiteral("Контур пуст: экспортировать нечего."));
        return;
    }
    const std::optional<QString> name = dialogs.saveFile(saveDialog_);
    if (!name) {
        return;
    }
    const model::ilda::Format format =
        saveDialog_.filterIndex == 2 ? model::ilda::kIndexed2D : model::ilda::kTrueColor2D;
    const QRgb line = editor::ResolveColor(editor_.settings().ColorBoxLine);
    const model::ilda::Export out = model::ilda::Encode(
        contour, format, {uint8_t(qRed(line)), uint8_t(qGreen(line)), uint8_t(qBlue(line))},
        FrameName(*name), kCompany);

    // Through the file layer's atomic write, which also sees a write cut short by a full disk.
    const io::FileResult written = io::WriteFileAtomically(
        *name,
        QByteArray(reinterpret_cast<const char*>(out.bytes.data()), qsizetype(out.bytes.size())));
    if (!written.ok) {
        ShowMessage(dialogs, MessageType::Error,
                    QStringLiteral("Cannot create file %1: %2").arg(*name, written.error));
        return;
    }

    // What a projector will make of the frame.
    QStringList notes;
    if (out.clampedPoints > 0) {
        notes << QStringLiteral("%1 точек лежат за пределами поля ILDA и записаны на его краю.")
                     .arg(out.clampedPoints);
    }
    if (count > model::ilda::kFlickerFreeLimit) {
        notes << QStringLiteral(
                     "Кадр из %1 точек при %2 точек/с показывается %3 раз в секунду: "
                     "возможно мерцание (меньше 20 кадров/с).")
                     .arg(count)
                     .arg(kPreviewRate)
                     .arg(double(kPreviewRate) / count, 0, 'f', 1);
    }
    if (!notes.isEmpty()) {
        ShowMessage(dialogs, MessageType::Warning, notes.join(QLatin1Char('\n')));
    }
}

void IldaCommands::ItemImportIldaClick(Dialogs& dialogs) {
    // Like the other commands that load a contour, the snapshot comes first.
    editor_.ToUndo();
    const std::optional<QString> name = dialogs.openFile(openDialog_);
    if (!name) {
        return;
    }
    // Through the file layer, which opens only regular files: a pipe would wait for a writer
    // forever.
    QByteArray data;
    if (const io::FileResult r = io::ReadFileStart(*name, kMaxIldaRead, data); !r.ok) {
        ShowMessage(dialogs, MessageType::Error,
                    QStringLiteral("Cannot open file %1: %2").arg(*name, r.error));
        return;
    }
    const std::span bytes(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    // A show of several frames: the user picks one. A file of one frame reads as it always has.
    const model::ilda::FrameList list = model::ilda::ListFrames(bytes);
    size_t chosen = 0;
    if (list.frames.size() > 1) {
        const QRgb line = editor::ResolveColor(editor_.settings().ColorBoxLine);
        FrameChoiceSpec choice;
        choice.title = QStringLiteral("Кадр ILDA");
        choice.count = int(list.frames.size());
        choice.text =
            QStringLiteral("В файле %1 кадров. Выберите кадр для импорта.").arg(list.frames.size());
        if (QFileInfo(*name).size() > data.size()) {
            choice.text += QStringLiteral("\nПоказаны кадры из первых %1 МБ файла.")
                               .arg(kMaxIldaRead / (1024 * 1024));
        } else if (list.stop != model::ilda::ImportError::None) {
            choice.text += QStringLiteral("\nФайл повреждён после кадра %1: дальше кадров нет.")
                               .arg(list.frames.size());
        }
        choice.picture = [&](int n) {
            const auto& f = list.frames[size_t(std::clamp(n, 1, choice.count) - 1)];
            return FramePicture(model::ilda::DecodeFrame(bytes, f).points, line);
        };
        choice.caption = [&](int n) {
            const auto& f = list.frames[size_t(std::clamp(n, 1, choice.count) - 1)];
            return QStringLiteral("«%1», %2 точек").arg(QString::fromLatin1(f.name)).arg(f.points);
        };
        const std::optional<int> n = dialogs.chooseFrame(choice);
        if (!n || *n < 1 || *n > choice.count) {
            return;
        }
        chosen = size_t(*n - 1);
    }
    model::ilda::Import in = list.frames.empty()
                                 ? model::ilda::Decode(bytes)
                                 : model::ilda::DecodeFrame(bytes, list.frames[chosen]);
    using model::ilda::ImportError;
    switch (in.error) {
        case ImportError::None:
        case ImportError::TooManyPoints:
            break;
        case ImportError::NotIlda:
            ShowMessage(dialogs, MessageType::Error, QStringLiteral("Это не файл ILDA."));
            return;
        case ImportError::UnknownFormat:
            ShowMessage(dialogs, MessageType::Error,
                        QStringLiteral("Формат записей ILDA в этом файле не поддерживается."));
            return;
        case ImportError::Truncated:
            ShowMessage(dialogs, MessageType::Error,
                        QStringLiteral("Файл ILDA повреждён: записи обрываются раньше конца."));
            return;
        case ImportError::NoFrame:
            ShowMessage(dialogs, MessageType::Error,
                        QStringLiteral("В файле ILDA нет кадра с точками."));
            return;
    }
    // A frame longer than the contour holds can come in thinned, its shape kept.
    if (in.points.size() > size_t(model::ilda::kMaxImportPoints)) {
        std::vector<model::ContourPoint> thin =
            model::ilda::Thin(in.points, size_t(model::ilda::kMaxImportPoints));
        MessageSpec m;
        m.type = MessageType::Confirmation;
        m.text = QStringLiteral(
                     "Кадр %1 содержит %2 точек, а контур вмещает не более %3.\n"
                     "Проредить кадр до %4 точек, сохранив его форму?")
                     .arg(chosen + 1)
                     .arg(in.points.size())
                     .arg(model::ilda::kMaxImportPoints)
                     .arg(thin.size());
        m.buttons = {MessageButton::Ok, MessageButton::Cancel};
        m.defaultButton = MessageButton::Ok;
        m.escapeButton = MessageButton::Cancel;
        if (dialogs.message(m) != MessageButton::Ok) {
            return;
        }
        in.points = std::move(thin);
    }
    editor_.contour().SetPoints(in.points);
    editor_.PaintPic(true, true);
    if (list.frames.size() > 1) {
        // Which frame of the show it was, in place of the report of an earlier import.
        editor::EditorHost& host = editor_.host();
        host.setStatusText(editor::kPanelSpare,
                           QStringLiteral("Кадр %1/%2").arg(chosen + 1).arg(list.frames.size()));
        host.setStatusText(editor::kPanelDot, QString());
    }
    if (in.blankedPoints > 0) {
        ShowMessage(dialogs, MessageType::Information,
                    QStringLiteral("%1 погашенных точек импортированы как обычные: у контура "
                                   "нет гашения.")
                        .arg(in.blankedPoints));
    }
}

}  // namespace window
