// The kinds of file the program reads or writes, in one table: how each is recognised (its
// extensions, and the bytes it starts with where it has such a mark), what it becomes when it
// comes in, how a file of it is read into the contour and how the contour is written in it,
// and its file dialogs' filter, and whether its files hold a show of frames and how those are
// read and written. The window's commands, files named at start, dropped files and
// the command line all ask the row; none of them decides by the kind itself.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "formats/contour_files.h"
#include "formats/imports.h"
#include "pictures/picture_formats.h"

namespace formats {

enum class Kind {
    Contour,
    Legacy,
    Ilda,
    Svg,
    Metafile,
    EnhancedMetafile,
    Icon,
    Bitmap,
    Jpeg,
    Png,
    Gif,
    WebP,
    Tiff
};

// What a file of the kind becomes when it comes in.
enum class Use {
    // The contour, and the current file that Save writes: the contour file, or an ILDA frame,
    // the file that keeps the points' colours and blanking.
    Open,
    Import,    // the contour (legacy file, SVG drawing)
    Underlay,  // the picture under the drawing; the command line traces it instead
};

// What reading a file needs besides its name, where the kind asks for it.
struct ReadOptions {
    int spacing = model::kDefaultSpacing;  // of a drawing or a traced picture, surface pixels
    pictures::SvgOptions svg;              // of a drawing
    size_t frame = 0;                      // of a show, from 0
    // A picture becomes a contour only traced, with these; without them it is refused.
    std::optional<tracing::Options> trace;
    bool autoThreshold = true;  // Otsu's threshold in place of trace->threshold
};

struct KindInfo;
// The file read into what it gives the contour; the error says why nothing came.
using Reader = Import (*)(const KindInfo& kind, const QString& name, const ReadOptions& options);
// The contour written in the kind, whole or not at all.
using Writer = Written (*)(const QString& name, model::Contour& contour,
                           const WriteOptions& options);
// Every frame of a file of several, each as the kind's reader reads one.
using ShowReader = ShowImport (*)(const KindInfo& kind, const QString& name,
                                  const ReadOptions& options);
// A show's frames written in the kind, whole or not at all.
using ShowWriter = Written (*)(const QString& name, const std::vector<model::Frame>& frames,
                               const WriteOptions& options);

struct KindInfo {
    Kind kind;
    QString description;     // as a file dialog's filter names it
    QStringList extensions;  // lower case, without the dot; the first is the one written
    // What every such file has at magicOffset: one of these bytes (TIFF's two byte orders); none
    // for a kind without a mark.
    QByteArrayList magic;
    int magicOffset;
    Use use;
    // The picture reader of an underlay kind.
    pictures::PictureKind picture;
    // The file keeps each point's colour and blanking (a contour file keeps neither).
    bool keepsStyles;
    Reader read;
    Writer write;  // null: a contour is not written in the kind
    // Every frame of a file that can hold several (an ILDA show; an animated GIF, traced);
    // null: `read` takes what there is.
    ShowReader readShow = nullptr;
    // Null: a file of the kind holds one frame, and of a show only one is written in it.
    ShowWriter writeShow = nullptr;

    bool contourOut() const { return write != nullptr; }
    // A file of the kind keeps a show of frames: Open takes it whole, Save writes it whole.
    bool holdsShow() const { return writeShow != nullptr; }
    // "Description|*.a;*.b", one filter of a file dialog.
    QString Filter() const;
};

// Every kind, the contour kinds first, then the pictures in the underlay's registration order.
const std::vector<KindInfo>& Kinds();
const KindInfo& Info(Kind kind);

// The kind a file name's extension names (any case), or null.
const KindInfo* KindOfName(const QString& name);
// The kind a file's first bytes show, for a file whose extension names none; null when no
// kind's mark is there.
const KindInfo* KindOfBytes(const QByteArray& start);
// By the extension, else by the first bytes of the file; null when neither tells. A file of
// no kind is tried as a contour file, as Open tries a file of any name.
const KindInfo* KindOfFile(const QString& name);
// The kind a file of that name is read as: its own, or the contour file's when it has none.
const KindInfo& ReadAs(const QString& name);
// The kind Open takes a file as: the one its first bytes show when that kind is opened (an
// ILDA show under any name), else the contour file.
const KindInfo& OpenedAs(const QString& name);

// The kinds whose files come in as `use`, in the table's order.
std::vector<Kind> KindsFor(Use use);

// A file dialog's filters for the kinds in order, with "все файлы" last when asked; first,
// when `together` names it, an entry of all the kinds at once.
QString Filters(const std::vector<Kind>& kinds, bool anyFile = false,
                const QString& together = QString());

}  // namespace formats
