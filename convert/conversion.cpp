#include "convert/conversion.h"

#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <span>

#include "editor/settings.h"
#include "io/file_io.h"
#include "model/contour_file.h"
#include "model/legacy_file.h"

namespace convert {

namespace {

// As the editor's ILDA commands: how much of a file is read, the scan rate the flicker note
// assumes and the company written in each header.
constexpr qint64 kMaxIldaRead = 16 * 1024 * 1024;
constexpr int kPreviewRate = 30000;
constexpr const char* kCompany = "Quorinim";

std::span<const uint8_t> AsSpan(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

template <typename Bytes>
QByteArray AsBytes(const Bytes& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

bool ReadContourFile(const QString& name, model::Contour& contour, QStringList& problems) {
    int64_t size = 0;
    if (const io::FileResult r = io::FileSize(name, size); !r.ok) {
        problems << r.error;
        return false;
    }
    std::optional<model::DecodedContour> file;
    if (model::ContourFileSizeAccepted(size)) {
        QByteArray bytes;
        if (const io::FileResult r =
                io::ReadWholeFile(name, model::kContourFileSize + 1, bytes);
            !r.ok) {
            problems << r.error;
            return false;
        }
        file = model::DecodeContourFile(AsSpan(bytes));
    }
    if (!file) {
        problems << QStringLiteral("Файл имеет другой формат!");
        return false;
    }
    model::ApplyContourFile(*file, contour);
    return true;
}

bool ReadLegacyFile(const QString& name, model::Contour& contour, QStringList& problems) {
    QByteArray bytes;
    if (const io::FileResult r = io::ReadFilePrefix(name, model::kLegacyFileSize, bytes);
        !r.ok) {
        problems << r.error;
        return false;
    }
    return model::DecodeLegacyFile(AsSpan(bytes), contour);
}

QString IldaImportProblem(const model::ilda::Import& in) {
    using model::ilda::ImportError;
    switch (in.error) {
        case ImportError::None:
            return {};
        case ImportError::NotIlda:
            return QStringLiteral("Это не файл ILDA.");
        case ImportError::UnknownFormat:
            return QStringLiteral("Формат записей ILDA в этом файле не поддерживается.");
        case ImportError::Truncated:
            return QStringLiteral("Файл ILDA повреждён: записи обрываются раньше конца.");
        case ImportError::NoFrame:
            return QStringLiteral("В файле ILDA нет кадра с точками.");
        case ImportError::TooManyPoints:
            return QStringLiteral("Кадр ILDA содержит %1 точек, а контур вмещает не более %2.")
                .arg(in.frameLength)
                .arg(model::ilda::kMaxImportPoints);
    }
    return {};
}

bool ReadIldaFile(const QString& name, int frame, model::Contour& contour, QStringList& problems) {
    QByteArray data;
    if (const io::FileResult r = io::ReadFileStart(name, kMaxIldaRead, data); !r.ok) {
        problems << QStringLiteral("Cannot open file %1: %2").arg(name, r.error);
        return false;
    }
    const model::ilda::Import in = model::ilda::DecodeFrame(AsSpan(data), frame);
    if (in.error != model::ilda::ImportError::None) {
        problems << IldaImportProblem(in);
        return false;
    }
    contour.SetPoints(in.points);
    if (in.blankedPoints > 0) {
        problems << QStringLiteral(
                        "%1 погашенных точек импортированы как обычные: у контура нет гашения.")
                        .arg(in.blankedPoints);
    }
    return true;
}

// The frame name the editor's ILDA export writes: the file's base name, at most 8 plain
// characters.
std::string FrameName(const QString& fileName) {
    std::string name;
    for (const QChar c : QFileInfo(fileName).completeBaseName().left(8)) {
        name.push_back(c.unicode() < 0x80 && c.isPrint() ? char(c.unicode()) : '_');
    }
    return name;
}

model::ilda::Rgb LineRgb() {
    const QRgb line = editor::ResolveColor(editor::EditorSettings{}.ColorBoxLine);
    return {uint8_t(qRed(line)), uint8_t(qGreen(line)), uint8_t(qBlue(line))};
}

bool WriteIldaFile(const QString& name, const Options& options, const model::Contour& contour,
                   QStringList& problems) {
    const int count = contour.State.PointCount;
    if (count <= 0) {
        problems << QStringLiteral("Контур пуст: экспортировать нечего.");
        return false;
    }
    const model::ilda::Export out =
        model::ilda::Encode(contour, options.ildaFormat, LineRgb(), FrameName(name), kCompany);
    const io::FileResult written = io::WriteFileAtomically(name, AsBytes(out.bytes));
    if (!written.ok) {
        problems << QStringLiteral("Cannot create file %1: %2").arg(name, written.error);
        return false;
    }
    if (out.clampedPoints > 0) {
        problems << QStringLiteral("%1 точек лежат за пределами поля ILDA и записаны на его краю.")
                        .arg(out.clampedPoints);
    }
    if (count > model::ilda::kFlickerFreeLimit) {
        problems << QStringLiteral(
                        "Кадр из %1 точек при %2 точек/с показывается %3 раз в секунду: "
                        "возможно мерцание (меньше 20 кадров/с).")
                        .arg(count)
                        .arg(kPreviewRate)
                        .arg(double(kPreviewRate) / count, 0, 'f', 1);
    }
    return true;
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

std::optional<FileKind> KindOfFile(const QString& name) {
    const QString ext = QFileInfo(name).suffix().toLower();
    if (ext == QLatin1String("ilz")) {
        return FileKind::Contour;
    }
    if (ext == QLatin1String("plz")) {
        return FileKind::Legacy;
    }
    if (ext == QLatin1String("ild")) {
        return FileKind::Ilda;
    }
    if (ext == QLatin1String("svg")) {
        return FileKind::Svg;
    }
    return std::nullopt;
}

bool ReadContour(const QString& name, FileKind kind, const Options& options,
                 model::Contour& contour, QStringList& problems) {
    switch (kind) {
        case FileKind::Contour:
            return ReadContourFile(name, contour, problems);
        case FileKind::Legacy:
            return ReadLegacyFile(name, contour, problems);
        case FileKind::Ilda:
            return ReadIldaFile(name, options.frame, contour, problems);
        case FileKind::Svg:
            break;
    }
    return false;
}

QByteArray SvgImage(const model::Contour& contour, const QString& lineColor) {
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
        svg += QStringLiteral(
                   "  <path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"1\" "
                   "stroke-linejoin=\"round\"/>\n")
                   .arg(path.join(QLatin1Char(' ')), lineColor);
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

bool WriteContour(const QString& name, FileKind kind, const Options& options,
                  model::Contour& contour, QStringList& problems) {
    QByteArray bytes;
    switch (kind) {
        case FileKind::Contour:
            bytes = AsBytes(model::EncodeContourFile(contour.Buffer, contour.State.PointCount));
            break;
        case FileKind::Legacy:
            bytes = AsBytes(model::EncodeLegacyFile(contour));
            break;
        case FileKind::Ilda:
            return WriteIldaFile(name, options, contour, problems);
        case FileKind::Svg: {
            const QRgb line = editor::ResolveColor(editor::EditorSettings{}.ColorBoxLine);
            bytes = SvgImage(contour,
                             QStringLiteral("#%1").arg(line & 0xFFFFFFu, 6, 16, QLatin1Char('0')));
            const io::FileResult written = io::WriteFileAtomically(name, bytes);
            if (!written.ok) {
                problems << QStringLiteral("Cannot create file %1: %2").arg(name, written.error);
            }
            return written.ok;
        }
    }
    const io::FileResult written = io::WriteFileAtomically(name, bytes);
    if (!written.ok) {
        problems << written.error;
    }
    return written.ok;
}

bool ConvertFile(const QString& in, const QString& out, const Options& options,
                 QStringList& problems) {
    const auto report = [&problems](const QString& file, const QStringList& texts) {
        for (const QString& text : texts) {
            problems << file + QStringLiteral(": ") + text;
        }
    };
    const std::optional<FileKind> from = KindOfFile(in);
    const std::optional<FileKind> to = KindOfFile(out);
    if (!from || *from == FileKind::Svg || !to) {
        report(!from || *from == FileKind::Svg ? in : out,
               {QStringLiteral("Файл имеет другой формат!")});
        return false;
    }
    const QFileInfo inInfo(in);
    const QFileInfo outInfo(out);
    if (inInfo.exists() && outInfo.exists() &&
        inInfo.canonicalFilePath() == outInfo.canonicalFilePath()) {
        report(out, {QStringLiteral("Это исходный файл: он не перезаписывается.")});
        return false;
    }
    // A fresh contour, as an editor that has just started holds it.
    auto contour = std::make_unique<model::Contour>();
    contour->Reset();
    QStringList texts;
    const bool read = ReadContour(in, *from, options, *contour, texts);
    report(in, texts);
    if (!read) {
        return false;
    }
    texts.clear();
    const bool written = WriteContour(out, *to, options, *contour, texts);
    report(out, texts);
    return written;
}

}  // namespace convert
