// The fixed sample of real clip art that the SVG import's figures are taken on: Debian's
// openclipart-svg, each distinct file once (the first of its copies in path order), then every
// 24th of the 7,458 in path order, 300 files. Nothing is picked by hand, so every run and every
// version of the import sees the same files.
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstring>

#include "pictures/svg_reader.h"

namespace bench {

inline const QString kClipArtRoot = QStringLiteral("/usr/share/openclipart/svg");

// The sample's files, as full paths; empty when the package is not installed.
inline QStringList ClipArtSample(int count = 300) {
    QStringList all;
    QDirIterator it(kClipArtRoot, {QStringLiteral("*.svg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        all << it.next();
    }
    std::sort(all.begin(), all.end());
    QStringList distinct;
    QSet<QByteArray> seen;
    for (const QString& name : all) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray hash = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5);
        if (!seen.contains(hash)) {
            seen.insert(hash);
            distinct << name;
        }
    }
    QStringList sample;
    const qsizetype every = std::max<qsizetype>(1, distinct.size() / count);
    for (qsizetype i = 0; i < distinct.size() && sample.size() < count; i += every) {
        sample << distinct[i];
    }
    return sample;
}

// The import's options as the programs' arguments change them: --all-lines, --whole-page.
inline pictures::SvgOptions ClipArtOptions(int argc, char** argv) {
    pictures::SvgOptions options;
    for (int i = 1; i < argc; ++i) {
        options.visibleOnly = options.visibleOnly && std::strcmp(argv[i], "--all-lines") != 0;
        options.wholePage = options.wholePage || std::strcmp(argv[i], "--whole-page") == 0;
    }
    return options;
}

}  // namespace bench
