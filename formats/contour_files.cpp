#include "formats/contour_files.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <memory>

#include "io/file_io.h"
#include "model/legacy_file.h"

namespace formats {

namespace {

// A file holds its palettes and first frame well within this, and a show of some minutes its
// every frame (8 million points of format 5, four and a half minutes at 30,000 points a
// second); the rest of a longer one is not read.
constexpr qint64 kMaxIldaRead = 64 * 1024 * 1024;
// The scan rate the flicker note assumes: points per second of a typical scanner.
constexpr int kScanRate = 30000;
constexpr const char* kCompany = "Quorinim";

std::span<const uint8_t> AsSpan(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

template <typename Bytes>
QByteArray AsBytes(const Bytes& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

Written Write(const QString& name, const QByteArray& bytes) {
    const io::FileResult r = io::WriteFileAtomically(name, bytes);
    Written w;
    w.ok = r.ok;
    w.error = r.error;
    return w;
}

// A coordinate in surface pixels with at most two decimals and no trailing zeros.
QString PixelText(int32_t unit) {
    QString text =
        QString::number(double(unit) / model::kUnitsPerPixel + model::kCentrePixel, 'f', 2);
    while (text.endsWith(QLatin1Char('0'))) {
        text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text;
}

}  // namespace

QString OtherFormatText() {
    return QCoreApplication::translate("formats", "Файл имеет другой формат!");
}

ContourFileRead ReadContourFile(const QString& name) {
    ContourFileRead read;
    int64_t size = 0;
    if (const io::FileResult r = io::FileSize(name, size); !r.ok) {
        read.error = r.error;
        return read;
    }
    // A file of the wrong size is refused without reading it, however large it is.
    std::optional<model::DecodedContour> file;
    if (model::ContourFileSizeAccepted(size)) {
        QByteArray bytes;
        if (const io::FileResult r = io::ReadWholeFile(name, model::kContourFileSize + 1, bytes);
            !r.ok) {
            read.error = r.error;
            return read;
        }
        file = model::DecodeContourFile(AsSpan(bytes));
        std::copy_n(bytes.constData(),
                    std::min<std::size_t>(std::size_t(bytes.size()), read.image.size()),
                    reinterpret_cast<char*>(read.image.data()));
    }
    if (!file) {
        read.outcome = ContourFileRead::Outcome::Refused;
        read.error = OtherFormatText();
        return read;
    }
    read.outcome = ContourFileRead::Outcome::Read;
    read.file = *file;
    return read;
}

LegacyFileRead ReadLegacyFile(const QString& name) {
    LegacyFileRead read;
    if (const io::FileResult r = io::ReadFilePrefix(name, model::kLegacyFileSize, read.bytes);
        !r.ok) {
        read.error = r.error;
        read.bytes.clear();
    }
    return read;
}

std::span<const uint8_t> IldaShow::bytes() const {
    return AsSpan(data);
}

IldaShow ReadIldaShow(const QString& name) {
    IldaShow show;
    show.name = name;
    // Through the file layer, which opens only regular files: a pipe would wait for a writer
    // forever.
    if (const io::FileResult r = io::ReadFileStart(name, kMaxIldaRead, show.data); !r.ok) {
        show.error = r.error;
        return show;
    }
    show.cutShort = QFileInfo(name).size() > show.data.size();
    show.list = model::ilda::ListFrames(show.bytes());
    return show;
}

QString IldaShow::ChoiceText() const {
    QString text =
        QCoreApplication::translate("formats", "В файле %1 кадров. Выберите кадр для импорта.")
            .arg(list.frames.size());
    if (cutShort) {
        text += QCoreApplication::translate("formats", "\nПоказаны кадры из первых %1 МБ файла.")
                    .arg(kMaxIldaRead / (1024 * 1024));
    } else if (list.stop != model::ilda::ImportError::None) {
        text += QCoreApplication::translate("formats",
                                            "\nФайл повреждён после кадра %1: дальше кадров нет.")
                    .arg(list.frames.size());
    }
    return text;
}

QString IldaShow::EndNote() const {
    if (cutShort) {
        return QCoreApplication::translate("formats", "Прочитаны кадры из первых %1 МБ файла.")
            .arg(kMaxIldaRead / (1024 * 1024));
    }
    switch (list.stop) {
        case model::ilda::ImportError::None:
            return {};
        case model::ilda::ImportError::Truncated:
            return QCoreApplication::translate(
                       "formats", "Файл обрывается внутри кадра %1: целых кадров в нём %2.")
                .arg(list.frames.size() + 1)
                .arg(list.frames.size());
        default:
            return QCoreApplication::translate("formats",
                                               "Файл повреждён после кадра %1: дальше кадров нет.")
                .arg(list.frames.size());
    }
}

QString IldaShow::Caption(int n) const {
    const auto& f = list.frames[size_t(std::clamp(n, 1, int(list.frames.size())) - 1)];
    return QCoreApplication::translate("formats", "«%1», %2 точек")
        .arg(QString::fromLatin1(f.name))
        .arg(f.points);
}

std::string IldaFrameName(const QString& fileName) {
    std::string name;
    for (const QChar c : QFileInfo(fileName).completeBaseName().left(8)) {
        name.push_back(c.unicode() < 0x80 && c.isPrint() ? char(c.unicode()) : '_');
    }
    return name;
}

model::ContourFileImage ContourImage(const model::Contour& contour) {
    return model::EncodeContourFile(contour.Buffer, contour.State.PointCount);
}

Written WriteContourFile(const QString& name, const model::ContourFileImage& image) {
    return Write(name, AsBytes(image));
}

Written WriteLegacyFile(const QString& name, model::Contour& contour) {
    return Write(name, AsBytes(model::EncodeLegacyFile(contour)));
}

namespace {

// What a projector will make of a frame written.
QStringList FrameNotes(const model::ilda::Export& out, int count) {
    QStringList notes;
    if (out.clampedPoints > 0) {
        notes << QCoreApplication::translate(
                     "formats", "%1 точек лежат за пределами поля ILDA и записаны на его краю.")
                     .arg(out.clampedPoints);
    }
    if (count > model::ilda::kFlickerFreeLimit) {
        notes << QCoreApplication::translate(
                     "formats",
                     "Кадр из %1 точек при %2 точек/с показывается %3 раз в секунду: "
                     "возможно мерцание (меньше 20 кадров/с).")
                     .arg(count)
                     .arg(kScanRate)
                     .arg(double(kScanRate) / count, 0, 'f', 1);
    }
    return notes;
}

Written EmptyContour() {
    Written w;
    w.error = QCoreApplication::translate("formats", "Контур пуст: экспортировать нечего.");
    return w;
}

}  // namespace

Written WriteIldaFile(const QString& name, const model::Contour& contour,
                      const WriteOptions& options) {
    const int count = contour.State.PointCount;
    if (count <= 0) {
        return EmptyContour();
    }
    const model::ilda::Export out = model::ilda::Encode(
        contour, options.ildaFormat, options.lineColor, IldaFrameName(name), kCompany);
    Written w = Write(name, AsBytes(out.bytes));
    if (w.ok) {
        w.notes = FrameNotes(out, count);
    }
    return w;
}

Written WriteIldaShow(const QString& name, const std::vector<model::Frame>& frames,
                      const WriteOptions& options) {
    if (frames.size() == 1) {
        auto contour = std::make_unique<model::Contour>();
        contour->Reset();
        contour->SetPoints(frames[0].points, frames[0].styles);
        return WriteIldaFile(name, *contour, options);
    }
    Written w;
    if (frames.empty()) {
        return EmptyContour();
    }
    if (frames.size() > size_t(model::kMaxShowFrames)) {
        w.error = QCoreApplication::translate(
                      "formats", "В показе %1 кадров, а файл ILDA вмещает не более %2.")
                      .arg(frames.size())
                      .arg(model::kMaxShowFrames);
        return w;
    }
    const model::ilda::Export out =
        model::ilda::EncodeShow(frames, options.ildaFormat, options.lineColor, kCompany);
    w = Write(name, AsBytes(out.bytes));
    if (!w.ok) {
        return w;
    }
    if (out.clampedPoints > 0) {
        w.notes << QCoreApplication::translate(
                       "formats", "%1 точек лежат за пределами поля ILDA и записаны на его краю.")
                       .arg(out.clampedPoints);
    }
    if (out.longFrames > 0) {
        w.notes << QCoreApplication::translate(
                       "formats",
                       "Кадров из более чем %1 точек: %2; при %3 точек/с они показываются реже "
                       "20 раз в секунду: возможно мерцание.")
                       .arg(model::ilda::kFlickerFreeLimit)
                       .arg(out.longFrames)
                       .arg(kScanRate);
    }
    if (out.emptyFrames > 0) {
        w.notes << QCoreApplication::translate(
                       "formats",
                       "Пустых кадров: %1; каждый записан одной погашенной точкой в центре.")
                       .arg(out.emptyFrames);
    }
    return w;
}

Written WriteIldaFrameOfShow(const QString& name, const IldaShow& show, size_t index,
                             const model::Contour& contour, const WriteOptions& options) {
    const int count = contour.State.PointCount;
    if (count <= 0) {
        return EmptyContour();
    }
    Written w;
    if (!show.error.isEmpty()) {
        w.error = show.error;
        return w;
    }
    if (show.cutShort) {
        // The rest of the show was never read, so it could not be written back.
        w.error = QCoreApplication::translate("formats",
                                              "Файл %1 больше %2 МБ: кадр в нём не заменяется.")
                      .arg(name)
                      .arg(kMaxIldaRead / (1024 * 1024));
        return w;
    }
    const model::ilda::Export out = model::ilda::Encode(
        contour, options.ildaFormat, options.lineColor, IldaFrameName(name), kCompany);
    // The frame's section is all but the end-of-file header Encode writes after it.
    const std::span<const uint8_t> section(out.bytes.data(),
                                           out.bytes.size() - size_t(model::ilda::kHeaderSize));
    const std::vector<uint8_t> bytes =
        index < show.list.frames.size()
            ? model::ilda::ReplaceFrame(show.bytes(), show.list.frames[index], section)
            : std::vector<uint8_t>{};
    if (bytes.empty()) {
        w.error =
            QCoreApplication::translate("formats", "В файле %1 нет кадра %2: файл не изменён.")
                .arg(name)
                .arg(index + 1);
        return w;
    }
    w = Write(name, AsBytes(bytes));
    if (w.ok) {
        w.notes = FrameNotes(out, count);
    }
    return w;
}

QByteArray SvgImage(const model::Contour& contour, model::ilda::Rgb lineColor) {
    const int count = std::clamp(contour.State.PointCount, 0, model::kSlotCount / 2);
    QStringList path;
    for (int i = 0; i < count; ++i) {
        path << QStringLiteral("%1%2 %3")
                    .arg(i == 0 ? QLatin1Char('M') : QLatin1Char('L'))
                    .arg(PixelText(contour.Slot(2 * int64_t(i))),
                         PixelText(contour.Slot(2 * int64_t(i) + 1)));
    }
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"384\" height=\"384\" "
        "viewBox=\"0 0 384 384\">\n");
    if (count > 0) {
        const uint32_t rgb =
            uint32_t(lineColor.r) << 16 | uint32_t(lineColor.g) << 8 | uint32_t(lineColor.b);
        svg += QStringLiteral(
                   "  <path d=\"%1\" fill=\"none\" stroke=\"#%2\" stroke-width=\"1\" "
                   "stroke-linejoin=\"round\"/>\n")
                   .arg(path.join(QLatin1Char(' ')))
                   .arg(rgb, 6, 16, QLatin1Char('0'));
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

Written WriteSvgFile(const QString& name, const model::Contour& contour,
                     const WriteOptions& options) {
    return Write(name, SvgImage(contour, options.lineColor));
}

}  // namespace formats
