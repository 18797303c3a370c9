#include "formats/kinds.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "io/file_io.h"
#include "model/legacy_file.h"

namespace formats {

namespace {

// The longest mark ends within this many bytes of the start.
constexpr qint64 kMagicReach = 64;

std::span<const uint8_t> AsSpan(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

// ---- Readers ----

Import ReadContour(const KindInfo&, const QString& name, const ReadOptions&) {
    ContourFileRead read = ReadContourFile(name);
    Import in;
    if (read.outcome != ContourFileRead::Outcome::Read) {
        in.error = read.error;
        return in;
    }
    in.applyTo = [file = std::move(read.file)](model::Contour& contour) {
        model::ApplyContourFile(file, contour);
        return true;
    };
    return in;
}

Import ReadLegacy(const KindInfo&, const QString& name, const ReadOptions&) {
    LegacyFileRead read = ReadLegacyFile(name);
    Import in;
    if (!read.error.isEmpty()) {
        in.error = read.error;
        return in;
    }
    in.applyTo = [bytes = std::move(read.bytes)](model::Contour& contour) {
        return model::DecodeLegacyFile(AsSpan(bytes), contour);
    };
    return in;
}

Import ReadIlda(const KindInfo&, const QString& name, const ReadOptions& options) {
    return ImportIldaFrame(ReadIldaShow(name), options.frame);
}

ShowImport ReadIldaFrames(const KindInfo&, const QString& name, const ReadOptions&) {
    return ImportIldaShow(ReadIldaShow(name));
}

Import ReadSvg(const KindInfo&, const QString& name, const ReadOptions& options) {
    return ImportSvgFile(name, options.spacing, options.svg);
}

// A picture becomes a contour traced as the tracing dialog traces the underlay.
Import ReadPicture(const KindInfo& kind, const QString& name, const ReadOptions& options) {
    if (!options.trace) {
        Import in;
        in.error = QCoreApplication::translate(
            "formats", "Картинка становится контуром только трассировкой (--trace).");
        return in;
    }
    return ImportTracedPicture(name, kind.picture,
                               QSize(model::kSurfaceWidth, model::kSurfaceHeight), *options.trace,
                               options.autoThreshold, options.spacing);
}

// Every frame of an animated picture, traced.
ShowImport ReadPictureFrames(const KindInfo& kind, const QString& name,
                             const ReadOptions& options) {
    if (!options.trace) {
        ShowImport in;
        in.error = QCoreApplication::translate(
            "formats", "Картинка становится контуром только трассировкой (--trace).");
        return in;
    }
    return ImportTracedFrames(name, kind.picture,
                              QSize(model::kSurfaceWidth, model::kSurfaceHeight), *options.trace,
                              options.autoThreshold, options.spacing);
}

// ---- Writers ----

Written WriteContour(const QString& name, model::Contour& contour, const WriteOptions&) {
    Written written = WriteContourFile(name, ContourImage(contour));
    if (written.ok) {
        // The live buffer carries the count in its place, as the file does.
        contour.SetSlot(model::kCountSlot, contour.State.PointCount);
    }
    return written;
}

Written WriteLegacy(const QString& name, model::Contour& contour, const WriteOptions&) {
    return WriteLegacyFile(name, contour);
}

Written WriteIlda(const QString& name, model::Contour& contour, const WriteOptions& options) {
    return WriteIldaFile(name, contour, options);
}

Written WriteSvg(const QString& name, model::Contour& contour, const WriteOptions& options) {
    return WriteSvgFile(name, contour, options);
}

Written WriteIldaFrames(const QString& name, const std::vector<model::Frame>& frames,
                        const WriteOptions& options) {
    return WriteIldaShow(name, frames, options);
}

std::vector<KindInfo> MakeKinds() {
    using pictures::PictureKind;
    const auto one = [](const char* extension) {
        return QStringList{QString::fromUtf8(extension)};
    };
    std::vector<KindInfo> kinds = {
        {Kind::Contour,
         QString::fromUtf8(QT_TRANSLATE_NOOP("pictures", "Файл лазерной картинки")),
         one("ilz"),
         {},
         0,
         Use::Open,
         PictureKind::Bitmap,
         false,
         &ReadContour,
         &WriteContour,
         nullptr,
         nullptr},
        {Kind::Legacy,
         QStringLiteral("Laser Version 1.0-1.5"),
         one("plz"),
         {},
         0,
         Use::Import,
         PictureKind::Bitmap,
         false,
         &ReadLegacy,
         &WriteLegacy,
         nullptr,
         nullptr},
        {Kind::Ilda,
         QStringLiteral("ILDA (*.ild)"),
         one("ild"),
         {QByteArray("ILDA")},
         0,
         Use::Open,
         PictureKind::Bitmap,
         true,
         &ReadIlda,
         &WriteIlda,
         &ReadIldaFrames,
         &WriteIldaFrames},
        // Read as a drawing; written as a picture of the contour for documentation and the web.
        {Kind::Svg,
         QStringLiteral("SVG (*.svg)"),
         one("svg"),
         {},
         0,
         Use::Import,
         PictureKind::Bitmap,
         false,
         &ReadSvg,
         &WriteSvg,
         nullptr,
         nullptr},
    };
    // The picture kinds, with the extensions the underlay's loader registers for each.
    struct Picture {
        Kind kind;
        PictureKind picture;
        QByteArrayList magic;
        int offset;
    };
    const Picture pictureKinds[] = {
        {Kind::Metafile, PictureKind::Metafile, {QByteArray("\xD7\xCD\xC6\x9A", 4)}, 0},
        {Kind::EnhancedMetafile, PictureKind::EnhancedMetafile, {QByteArray(" EMF")}, 40},
        {Kind::Icon, PictureKind::Icon, {QByteArray("\x00\x00\x01\x00", 4)}, 0},
        {Kind::Bitmap, PictureKind::Bitmap, {QByteArray("BM")}, 0},
        {Kind::Jpeg, PictureKind::Jpeg, {QByteArray("\xFF\xD8\xFF", 3)}, 0},
        {Kind::Png, PictureKind::Png, {QByteArray("\x89PNG\r\n\x1A\n")}, 0},
        // GIF87a and GIF89a.
        {Kind::Gif, PictureKind::Gif, {QByteArray("GIF8")}, 0},
        // A RIFF file of the WebP form.
        {Kind::WebP, PictureKind::WebP, {QByteArray("WEBP")}, 8},
        {Kind::Tiff, PictureKind::Tiff, {QByteArray("II*\0", 4), QByteArray("MM\0*", 4)}, 0},
    };
    for (const Picture& p : pictureKinds) {
        KindInfo info{p.kind,
                      {},
                      {},
                      p.magic,
                      p.offset,
                      Use::Underlay,
                      p.picture,
                      false,
                      &ReadPicture,
                      nullptr,
                      // An animated GIF's frames, each traced.
                      p.kind == Kind::Gif ? &ReadPictureFrames : nullptr,
                      nullptr};
        for (const pictures::PictureFormat& format : pictures::RegisteredFormats()) {
            if (format.kind == p.picture) {
                info.extensions << format.extension;
                if (info.description.isEmpty()) {
                    info.description = format.description;
                }
            }
        }
        kinds.push_back(info);
    }
    return kinds;
}

}  // namespace

QString KindInfo::Filter() const {
    QStringList masks;
    for (const QString& ext : extensions) {
        masks << QStringLiteral("*.") + ext;
    }
    return QCoreApplication::translate("pictures", description.toUtf8().constData()) +
           QLatin1Char('|') + masks.join(QLatin1Char(';'));
}

const std::vector<KindInfo>& Kinds() {
    static const std::vector<KindInfo> kinds = MakeKinds();
    return kinds;
}

const KindInfo& Info(Kind kind) {
    for (const KindInfo& info : Kinds()) {
        if (info.kind == kind) {
            return info;
        }
    }
    return Kinds().front();
}

const KindInfo* KindOfName(const QString& name) {
    // The extension is what follows the last dot of the name, compared without case.
    const QString ext = QFileInfo(name).suffix().toLower();
    for (const KindInfo& info : Kinds()) {
        if (info.extensions.contains(ext)) {
            return &info;
        }
    }
    return nullptr;
}

const KindInfo* KindOfBytes(const QByteArray& start) {
    for (const KindInfo& info : Kinds()) {
        for (const QByteArray& mark : info.magic) {
            if (start.mid(info.magicOffset, mark.size()) == mark) {
                return &info;
            }
        }
    }
    return nullptr;
}

const KindInfo* KindOfFile(const QString& name) {
    if (const KindInfo* info = KindOfName(name)) {
        return info;
    }
    QByteArray start;
    if (!io::ReadFileStart(name, kMagicReach, start).ok) {
        return nullptr;
    }
    return KindOfBytes(start);
}

const KindInfo& ReadAs(const QString& name) {
    const KindInfo* kind = KindOfFile(name);
    return kind != nullptr ? *kind : Info(Kind::Contour);
}

const KindInfo& OpenedAs(const QString& name) {
    QByteArray start;
    if (io::ReadFileStart(name, kMagicReach, start).ok) {
        const KindInfo* kind = KindOfBytes(start);
        if (kind != nullptr && kind->use == Use::Open) {
            return *kind;
        }
    }
    return Info(Kind::Contour);
}

std::vector<Kind> KindsFor(Use use) {
    std::vector<Kind> kinds;
    for (const KindInfo& info : Kinds()) {
        if (info.use == use) {
            kinds.push_back(info.kind);
        }
    }
    return kinds;
}

QString Filters(const std::vector<Kind>& kinds, bool anyFile, const QString& together) {
    QStringList filters;
    QStringList masks;
    for (Kind kind : kinds) {
        filters << Info(kind).Filter();
        for (const QString& ext : Info(kind).extensions) {
            masks << QStringLiteral("*.") + ext;
        }
    }
    if (!together.isEmpty()) {
        filters.prepend(together + QLatin1Char('|') + masks.join(QLatin1Char(';')));
    }
    if (anyFile) {
        filters << QCoreApplication::translate("formats", "все файлы") + QStringLiteral("|*.*");
    }
    return filters.join(QLatin1Char('|'));
}

}  // namespace formats
