#include "formats/kinds.h"

#include <QFileInfo>

#include "io/file_io.h"

namespace formats {

namespace {

// The longest mark ends within this many bytes of the start.
constexpr qint64 kMagicReach = 64;

std::vector<KindInfo> MakeKinds() {
    using pictures::PictureKind;
    std::vector<KindInfo> kinds = {
        {Kind::Contour,
         QStringLiteral("contour file"),
         {QStringLiteral("ilz")},
         {},
         0,
         Use::Open,
         true,
         false,
         PictureKind::Bitmap},
        {Kind::Legacy,
         QStringLiteral("legacy file"),
         {QStringLiteral("plz")},
         {},
         0,
         Use::Import,
         true,
         false,
         PictureKind::Bitmap},
        {Kind::Ilda,
         QStringLiteral("ILDA file"),
         {QStringLiteral("ild")},
         QByteArray("ILDA"),
         0,
         Use::Open,
         true,
         false,
         PictureKind::Bitmap},
        // Read as a drawing; written as a picture of the contour for documentation and the web.
        {Kind::Svg,
         QStringLiteral("SVG drawing"),
         {QStringLiteral("svg")},
         {},
         0,
         Use::Import,
         true,
         false,
         PictureKind::Bitmap},
    };
    // The picture kinds, with the extensions the underlay's loader registers for each.
    struct Picture {
        Kind kind;
        PictureKind picture;
        const char* name;
        QByteArray magic;
        int offset;
    };
    const Picture pictureKinds[] = {
        {Kind::Metafile, PictureKind::Metafile, "Windows metafile",
         QByteArray("\xD7\xCD\xC6\x9A", 4), 0},
        {Kind::EnhancedMetafile, PictureKind::EnhancedMetafile, "enhanced metafile",
         QByteArray(" EMF"), 40},
        {Kind::Icon, PictureKind::Icon, "icon", QByteArray("\x00\x00\x01\x00", 4), 0},
        {Kind::Bitmap, PictureKind::Bitmap, "bitmap", QByteArray("BM"), 0},
        {Kind::Jpeg, PictureKind::Jpeg, "JPEG picture", QByteArray("\xFF\xD8\xFF", 3), 0},
    };
    for (const Picture& p : pictureKinds) {
        KindInfo info{p.kind, QString::fromUtf8(p.name), {},       p.magic, p.offset, Use::Underlay,
                      false,  p.kind == Kind::Bitmap,    p.picture};
        for (const pictures::PictureFormat& format : pictures::RegisteredFormats()) {
            if (format.kind == p.picture) {
                info.extensions << format.extension;
            }
        }
        kinds.push_back(info);
    }
    return kinds;
}

}  // namespace

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
        if (!info.magic.isEmpty() && start.mid(info.magicOffset, info.magic.size()) == info.magic) {
            return &info;
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

QString Patterns(bool contourOut) {
    QStringList patterns;
    for (const KindInfo& info : Kinds()) {
        if (!contourOut || info.contourOut) {
            for (const QString& ext : info.extensions) {
                patterns << QStringLiteral("*.") + ext;
            }
        }
    }
    return patterns.join(QLatin1Char(' '));
}

}  // namespace formats
