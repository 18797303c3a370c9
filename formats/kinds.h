// The kinds of file the program reads or writes, in one table: how each is recognised (its
// extensions, and the bytes it starts with where it has such a mark), what it becomes when
// it comes in, and whether a contour or the surface can be written in it. The window's
// commands, files named at start, dropped files and the command line all decide by it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "pictures/picture_formats.h"

namespace formats {

enum class Kind { Contour, Legacy, Ilda, Svg, Metafile, EnhancedMetafile, Icon, Bitmap, Jpeg };

// What a file of the kind becomes when it comes in.
enum class Use {
    // The contour, and the current file that Save writes: the contour file, or an ILDA frame,
    // the file that keeps the points' colours and blanking.
    Open,
    Import,    // the contour (legacy file, SVG drawing)
    Underlay,  // the picture under the drawing; the command line traces it instead
};

struct KindInfo {
    Kind kind;
    QString name;            // as messages and the help name it
    QStringList extensions;  // lower case, without the dot; the first is the one written
    QByteArray magic;        // the bytes at magicOffset every such file starts with; may be empty
    int magicOffset;
    Use use;
    bool contourOut;  // a contour can be written in it
    bool surfaceOut;  // the surface, as shown, can be written in it
    // The picture reader of an underlay kind.
    pictures::PictureKind picture;
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

// The extensions of every kind that comes in, or of those a contour can be written in, as
// "*.ilz *.plz ..." for dialogs and help.
QString Patterns(bool contourOut);

}  // namespace formats
