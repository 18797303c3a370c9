#include "pictures/svg_document.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace pictures::svg {

namespace {

struct Element {
    QString name;  // as written, with its prefix
    QString local;
    QXmlStreamNamespaceDeclarations namespaces;
    QXmlStreamAttributes attributes;
    std::vector<int> children;  // an element's index, or ~i for text i
};

struct Text {
    QString text;
    bool cdata = false;
};

struct Tree {
    std::vector<Element> elements;
    std::vector<Text> texts;
    QHash<QString, int> clipsById;     // clipPath and mask elements
    QHash<QString, int> patternsById;  // pattern elements
    QSet<int> paintingPatterns;        // those of them that paint anything
};

bool IsHref(const QXmlStreamAttribute& a) {
    return a.name() == u"href";
}

// A reference to anything but a part of this document or data carried in it.
bool External(const QXmlStreamAttribute& a) {
    const QStringView v = a.value().trimmed();
    return IsHref(a) && !v.isEmpty() && !v.startsWith(u'#') &&
           !v.startsWith(u"data:", Qt::CaseInsensitive);
}

// "#id" -> "id"; a reference to another file, or anything else -> "".
QString UrlTarget(const QXmlStreamAttribute& a) {
    const QStringView v = a.value().trimmed();
    return v.startsWith(u'#') ? v.mid(1).toString() : QString();
}

bool IsClip(const Element& e) {
    return e.local == u"clipPath" || e.local == u"mask";
}

bool IsPattern(const Element& e) {
    return e.local == u"pattern";
}

// A picture, or a use of another file's part: nothing to draw here.
bool Dropped(const Element& e) {
    return e.local == u"image" ||
           (e.local == u"use" && std::any_of(e.attributes.begin(), e.attributes.end(), External));
}

// The declarations of a style attribute, as (name, value).
std::vector<std::pair<QString, QString>> Declarations(const QString& style) {
    std::vector<std::pair<QString, QString>> out;
    for (const QString& d : style.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype colon = d.indexOf(QLatin1Char(':'));
        if (colon > 0) {
            out.emplace_back(d.left(colon).trimmed(), d.mid(colon + 1).trimmed());
        }
    }
    return out;
}

QString Attribute(const Element& e, const char* name) {
    return e.attributes.value(QLatin1String(name)).toString();
}

// A property as the element gives it: in its style, else as an attribute.
QString Property(const Element& e, const char* name) {
    for (const auto& [n, v] : Declarations(Attribute(e, "style"))) {
        if (n == QLatin1String(name)) {
            return v;
        }
    }
    return Attribute(e, name);
}

// "url(#id)", "url('#id')" -> "id"; anything else -> "".
QString UrlId(const QString& value) {
    QString v = value.trimmed();
    if (!v.startsWith(QStringLiteral("url(")) || !v.endsWith(QLatin1Char(')'))) {
        return {};
    }
    v = v.mid(4, v.size() - 5).trimmed();
    if (v.size() >= 2 && (v.front() == u'\'' || v.front() == u'"') && v.back() == v.front()) {
        v = v.mid(1, v.size() - 2).trimmed();
    }
    return v.startsWith(QLatin1Char('#')) ? v.mid(1) : QString();
}

// Whether the element names a clip path or a mask (the cheap look first: most have neither).
bool Clipped(const Element& e) {
    const QStringView style = e.attributes.value(QLatin1String("style"));
    const bool named = e.attributes.hasAttribute(QLatin1String("clip-path")) ||
                       e.attributes.hasAttribute(QLatin1String("mask")) ||
                       style.contains(u"clip-path") || style.contains(u"mask");
    return named &&
           (!UrlId(Property(e, "clip-path")).isEmpty() || !UrlId(Property(e, "mask")).isEmpty());
}

// The attributes less the named ones (also as style declarations) and external references.
QXmlStreamAttributes Without(const QXmlStreamAttributes& attributes,
                             std::initializer_list<QStringView> names) {
    const auto named = [&](QStringView n) {
        return std::find(names.begin(), names.end(), n) != names.end();
    };
    QXmlStreamAttributes out;
    for (const QXmlStreamAttribute& a : attributes) {
        if (External(a) || (a.prefix().isEmpty() && named(a.name()))) {
            continue;
        }
        if (a.qualifiedName() == u"style") {
            QStringList kept;
            for (const auto& [n, v] : Declarations(a.value().toString())) {
                if (!named(n)) {
                    kept << n + QLatin1Char(':') + v;
                }
            }
            out.append(QStringLiteral("style"), kept.join(QLatin1Char(';')));
            continue;
        }
        out.append(a);
    }
    return out;
}

// A length in CSS pixels; -1 for none, a percentage or a unit of the font.
double Length(const QString& text) {
    static const std::pair<const char*, double> kUnits[] = {{"px", 1.0},       {"pt", 96.0 / 72},
                                                            {"pc", 16.0},      {"mm", 96 / 25.4},
                                                            {"cm", 96 / 2.54}, {"in", 96.0}};
    QString v = text.trimmed();
    double scale = 1;
    for (const auto& [unit, pixels] : kUnits) {
        if (v.endsWith(QLatin1String(unit))) {
            v.chop(2);
            scale = pixels;
            break;
        }
    }
    bool ok = false;
    const double number = v.trimmed().toDouble(&ok);
    return ok && std::isfinite(number) ? number * scale : -1;
}

AspectRatio RootAspectRatio(const Element& root) {
    AspectRatio a;
    const QStringList words =
        Attribute(root, "preserveAspectRatio").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& w : words) {
        if (w == u"none") {
            a.none = true;
        } else if (w == u"slice") {
            a.slice = true;
        } else if (w.size() == 8 && w.startsWith(QLatin1Char('x'))) {
            const auto align = [](QStringView s) {
                return s == u"Min" ? 0.0 : (s == u"Max" ? 1.0 : 0.5);
            };
            a.alignX = align(QStringView(w).mid(1, 3));
            a.alignY = align(QStringView(w).mid(5, 3));
        }
    }
    return a;
}

// Elements nested deeper than this: Qt SVG refuses such a document too.
constexpr size_t kMaxDepth = 2048;

// Reads the document into a tree; says whether Qt SVG may read the file as it is.
bool Read(const QByteArray& file, Tree& tree, bool& unchanged) {
    QXmlStreamReader xml(file);
    std::vector<int> open;
    unchanged = true;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
            case QXmlStreamReader::StartElement: {
                const int index = int(tree.elements.size());
                Element e;
                e.name = xml.qualifiedName().toString();
                e.local = xml.name().toString();
                e.namespaces = xml.namespaceDeclarations();
                e.attributes = xml.attributes();
                for (const QXmlStreamAttribute& a : e.attributes) {
                    unchanged = unchanged && !External(a);
                }
                if (IsClip(e) || IsPattern(e)) {
                    // A pattern changes the file only when it paints (Prepare).
                    unchanged = unchanged && !IsClip(e);
                    QHash<QString, int>& byId = IsClip(e) ? tree.clipsById : tree.patternsById;
                    const QString id = Attribute(e, "id");
                    if (!id.isEmpty() && !byId.contains(id)) {
                        byId.insert(id, index);
                    }
                }
                unchanged = unchanged && e.local != u"image" && !Clipped(e);
                if (!open.empty()) {
                    tree.elements[size_t(open.back())].children.push_back(index);
                }
                tree.elements.push_back(std::move(e));
                open.push_back(index);
                if (open.size() > kMaxDepth) {
                    return false;
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                open.pop_back();
                break;
            case QXmlStreamReader::Characters:
                if (!open.empty()) {
                    tree.elements[size_t(open.back())].children.push_back(~int(tree.texts.size()));
                    tree.texts.push_back({xml.text().toString(), xml.isCDATA()});
                }
                break;
            case QXmlStreamReader::ProcessingInstruction:
                // xml-stylesheet names a file Qt SVG would read.
                unchanged = false;
                break;
            default:
                break;
        }
    }
    return !xml.hasError() && !tree.elements.empty();
}

// A number with its unit or percent sign taken off; nothing when it is none.
std::optional<double> Number(const QString& text) {
    QString v = text.trimmed();
    while (!v.isEmpty() && (v.back().isLetter() || v.back() == u'%')) {
        v.chop(1);
    }
    bool ok = false;
    const double number = v.toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

bool Zero(const QString& text) {
    return Number(text) == 0.0;
}

// What the shapes under an element paint with, as far as the attributes and style attributes
// on the way tell; a style sheet's rules are not looked at, and what they might hide is taken
// to show.
struct Paint {
    bool fill = true;  // black until said otherwise
    bool fillClear = false;
    bool stroke = false;
    bool strokeClear = false;
    bool strokeThin = false;  // no width
    bool visible = true;

    bool shows() const {
        return visible && ((fill && !fillClear) || (stroke && !strokeClear && !strokeThin));
    }
    void take(const Element& e) {
        const auto colour = [](const QString& v, bool& to) {
            if (!v.isEmpty() && v != u"inherit") {
                to = v != u"none" && v != u"transparent";
            }
        };
        const auto clear = [](const QString& v, bool& to) {
            if (Number(v)) {
                to = Zero(v);
            }
        };
        colour(Property(e, "fill"), fill);
        colour(Property(e, "stroke"), stroke);
        clear(Property(e, "fill-opacity"), fillClear);
        clear(Property(e, "stroke-opacity"), strokeClear);
        clear(Property(e, "stroke-width"), strokeThin);
        const QString visibility = Property(e, "visibility");
        if (!visibility.isEmpty() && visibility != u"inherit") {
            visible = visibility == u"visible";
        }
    }
};

// Whether the element, or something in it, paints what can be seen.
bool Paints(const Tree& tree, int index, Paint paint) {
    const Element& e = tree.elements[size_t(index)];
    if (Property(e, "display") == u"none" || Zero(Property(e, "opacity")) || IsClip(e)) {
        return false;
    }
    paint.take(e);
    static const QStringList kShapes = {
        QStringLiteral("path"),    QStringLiteral("rect"), QStringLiteral("circle"),
        QStringLiteral("ellipse"), QStringLiteral("line"), QStringLiteral("polyline"),
        QStringLiteral("polygon"), QStringLiteral("text"), QStringLiteral("use")};
    if (e.local == u"image") {
        return paint.visible;
    }
    if (kShapes.contains(e.local)) {
        return paint.shows();
    }
    return std::any_of(e.children.begin(), e.children.end(),
                       [&](int c) { return c >= 0 && Paints(tree, c, paint); });
}

// Patterns that name the one they take what they lack from, at most this many in a row.
constexpr int kMaxPatternChain = 16;

// Whether a pattern paints anything: its tile has a size (none given, or zero, disables it)
// and a shape in it shows. A pattern without a tile or content of its own takes them from the
// pattern its href names. What each content paints is kept in `painted`, so that many
// patterns naming one content look at it once.
bool PatternPaints(const Tree& tree, int index, QHash<int, bool>& painted) {
    QString width;
    QString height;
    int content = -1;
    for (int i = index, hops = 0; i >= 0 && hops < kMaxPatternChain; ++hops) {
        const Element& p = tree.elements[size_t(i)];
        width = width.isEmpty() ? Attribute(p, "width").trimmed() : width;
        height = height.isEmpty() ? Attribute(p, "height").trimmed() : height;
        if (content < 0 &&
            std::any_of(p.children.begin(), p.children.end(), [](int c) { return c >= 0; })) {
            content = i;
        }
        const auto href = std::find_if(p.attributes.begin(), p.attributes.end(), IsHref);
        const QString named = href == p.attributes.end() ? QString() : UrlTarget(*href);
        i = named.isEmpty() ? -1 : tree.patternsById.value(named, -1);
    }
    const auto side = [](const QString& v) {
        const std::optional<double> n = Number(v);
        return !v.isEmpty() && !(n && *n <= 0);
    };
    if (content < 0 || !side(width) || !side(height)) {
        return false;
    }
    if (!painted.contains(content)) {
        painted.insert(content, Paints(tree, content, Paint{}));
    }
    return painted.value(content);
}

class Writer {
  public:
    Writer(const Tree& tree, Document& doc) : tree_(tree), doc_(doc), xml_(&doc.bytes) {}

    void write() {
        xml_.writeStartDocument();
        element(0, true);
        xml_.writeEndDocument();
    }

  private:
    // A clip path or mask the element refers to, as (its element, whether a mask).
    std::vector<std::pair<int, bool>> clipsOf(const Element& e) const {
        std::vector<std::pair<int, bool>> out;
        for (const bool mask : {false, true}) {
            const auto it =
                tree_.clipsById.constFind(UrlId(Property(e, mask ? "mask" : "clip-path")));
            if (it != tree_.clipsById.constEnd() &&
                (tree_.elements[size_t(*it)].local == u"mask") == mask) {
                out.emplace_back(*it, mask);
            }
        }
        return out;
    }

    // A name like `like`'s: with its prefix, if it has one.
    static QString Named(const Element& like, const char* local) {
        const qsizetype colon = like.name.indexOf(QLatin1Char(':'));
        return (colon > 0 ? like.name.left(colon + 1) : QString()) + QLatin1String(local);
    }

    void start(const QString& name, const Element& e, const QXmlStreamAttributes& attributes) {
        xml_.writeStartElement(name);
        for (const QXmlStreamNamespaceDeclaration& n : e.namespaces) {
            xml_.writeAttribute(n.prefix().isEmpty()
                                    ? QStringLiteral("xmlns")
                                    : QStringLiteral("xmlns:") + n.prefix().toString(),
                                n.namespaceUri().toString());
        }
        attributesAsWritten(attributes);
    }

    // As they were written, prefixes and all: Qt SVG finds "xlink:href" by that name.
    void attributesAsWritten(const QXmlStreamAttributes& attributes) {
        for (const QXmlStreamAttribute& a : attributes) {
            xml_.writeAttribute(a.qualifiedName().toString(), a.value().toString());
        }
    }

    void text(int i) {
        const Text& t = tree_.texts[size_t(~i)];
        t.cdata ? xml_.writeCDATA(t.text) : xml_.writeCharacters(t.text);
    }

    void mark(const Element& like, Mark kind, int number) {
        xml_.writeStartElement(Named(like, "path"));
        xml_.writeAttribute(
            QStringLiteral("d"),
            QStringLiteral("M %1 %2 L %1 %3").arg(kMarkX, 0, 'f', 0).arg(int(kind)).arg(number));
        xml_.writeAttribute(QStringLiteral("visibility"), QStringLiteral("visible"));
        xml_.writeEndElement();
    }

    // Qt SVG paints no pattern: a shape filled with one showed no line at all. When the
    // pattern paints anything, a solid colour of its id goes before it, which Qt SVG paints
    // instead: half transparent, so that the shape hides nothing under it (a pattern may have
    // gaps), and too dark for the beam, so that its line is drawn in the line colour (a pattern
    // has no one colour). The pattern itself stays, for what refers to the shapes in it.
    void patternStandIn(int i) {
        const Element& e = tree_.elements[size_t(i)];
        xml_.writeStartElement(Named(e, "solidColor"));
        xml_.writeAttribute(QStringLiteral("id"), Attribute(e, "id"));
        xml_.writeAttribute(QStringLiteral("solid-color"), QStringLiteral("black"));
        xml_.writeAttribute(QStringLiteral("solid-opacity"), QStringLiteral("0.5"));
        xml_.writeEndElement();
    }

    void element(int i, bool root) {
        const Element& e = tree_.elements[size_t(i)];
        if (Dropped(e) || IsClip(e)) {
            return;  // pictures are not lines; clip paths and masks are drawn where used
        }
        if (!root && tree_.paintingPatterns.contains(i)) {
            patternStandIn(i);
        }
        const std::vector<std::pair<int, bool>> clips =
            root ? std::vector<std::pair<int, bool>>() : clipsOf(e);
        if (clips.empty()) {
            start(e.name, e, Without(e.attributes, {u"clip-path", u"mask"}));
            for (int c : e.children) {
                c >= 0 ? element(c, false) : text(c);
            }
            xml_.writeEndElement();
            return;
        }
        // A group in the element's place, in its user space, which `use` finds by its id.
        xml_.writeStartElement(Named(e, "g"));
        QXmlStreamAttributes moved;
        for (const char* name :
             {"id", "transform", "requiredFeatures", "requiredExtensions", "systemLanguage"}) {
            const QString n = QString::fromLatin1(name);
            if (e.attributes.hasAttribute(n)) {
                moved.append(n, Attribute(e, name));
            }
        }
        attributesAsWritten(moved);
        std::vector<int> numbers;
        for (const auto& [def, mask] : clips) {
            const Element& d = tree_.elements[size_t(def)];
            numbers.push_back(int(doc_.clips.size()));
            ClipUse use;
            use.mask = mask;
            use.boundingBox =
                Attribute(d, mask ? "maskContentUnits" : "clipPathUnits") == u"objectBoundingBox";
            doc_.clips.push_back(use);
            mark(e, Mark::Clipped, numbers.back());
        }
        start(
            e.name, e,
            Without(e.attributes, {u"clip-path", u"mask", u"id", u"transform", u"requiredFeatures",
                                   u"requiredExtensions", u"systemLanguage"}));
        for (int c : e.children) {
            c >= 0 ? element(c, false) : text(c);
        }
        xml_.writeEndElement();
        for (size_t k = clips.size(); k-- > 0;) {
            mark(e, Mark::Clip, numbers[k]);
            content(e, clips[k].first, clips[k].second);
            mark(e, Mark::End, numbers[k]);
        }
        xml_.writeEndElement();
    }

    // The shapes of a clip path or a mask, in a group with its transform. A clip path's shapes
    // count whatever their paint, with the clip rule as their fill rule; the hidden ones do not
    // count.
    void content(const Element& like, int def, bool mask) {
        const Element& d = tree_.elements[size_t(def)];
        xml_.writeStartElement(Named(like, "g"));
        xml_.writeAttribute(QStringLiteral("visibility"), QStringLiteral("visible"));
        if (d.attributes.hasAttribute(QLatin1String("transform"))) {
            xml_.writeAttribute(QStringLiteral("transform"), Attribute(d, "transform"));
        }
        const QString rule = Property(d, "clip-rule");
        for (int c : d.children) {
            if (c < 0) {
                continue;
            }
            const Element& shape = tree_.elements[size_t(c)];
            if (!mask && (Property(shape, "display") == u"none" ||
                          Property(shape, "visibility") == u"hidden" ||
                          Property(d, "visibility") == u"hidden")) {
                continue;
            }
            if (mask) {
                copy(c, {});
            } else {
                const QString own = Property(shape, "clip-rule");
                copy(c, own.isEmpty() ? (rule.isEmpty() ? QStringLiteral("nonzero") : rule) : own);
            }
        }
        xml_.writeEndElement();
    }

    // A copy of a clip path's or mask's shape: without ids, which the original keeps, nor clips
    // of its own; with `fillRule` as its fill rule when given.
    void copy(int i, const QString& fillRule) {
        const Element& e = tree_.elements[size_t(i)];
        if (Dropped(e) || IsClip(e)) {
            return;
        }
        QXmlStreamAttributes attributes =
            fillRule.isEmpty() ? Without(e.attributes, {u"id", u"clip-path", u"mask"})
                               : Without(e.attributes, {u"id", u"clip-path", u"mask", u"fill-rule",
                                                        u"display", u"visibility"});
        if (!fillRule.isEmpty()) {
            attributes.append(QStringLiteral("fill-rule"), fillRule);
        }
        start(e.name, e, attributes);
        for (int c : e.children) {
            c >= 0 ? copy(c, fillRule) : text(c);
        }
        xml_.writeEndElement();
    }

    const Tree& tree_;
    Document& doc_;
    QXmlStreamWriter xml_;
};

}  // namespace

Document Prepare(const QByteArray& file) {
    Document doc;
    Tree tree;
    bool unchanged = true;
    if (!Read(file, tree, unchanged)) {
        return doc;
    }
    doc.ok = true;
    QHash<int, bool> painted;
    for (const int pattern : std::as_const(tree.patternsById)) {
        if (PatternPaints(tree, pattern, painted)) {
            tree.paintingPatterns.insert(pattern);
        }
    }
    // A file whose patterns paint nothing is read by Qt SVG as it is.
    unchanged = unchanged && tree.paintingPatterns.isEmpty();
    const Element& root = tree.elements.front();
    doc.aspect = RootAspectRatio(root);
    doc.viewBox = root.attributes.hasAttribute(QLatin1String("viewBox"));
    const double width = Length(Attribute(root, "width"));
    const double height = Length(Attribute(root, "height"));
    if (width > 0 && height > 0) {
        doc.size = QSizeF(width, height);
    }
    if (unchanged) {
        doc.bytes = file;
    } else {
        Writer(tree, doc).write();
    }
    return doc;
}

}  // namespace pictures::svg
