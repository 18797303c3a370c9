#include "window/output_memory.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace window {

namespace {

// Each stage setting under its key, read and written through one table.
struct Field {
    const char* key;
    int model::stage::Settings::*value;
};
constexpr Field kFields[] = {
    {"rate", &model::stage::Settings::pointRate},
    {"corner_angle", &model::stage::Settings::cornerAngle},
    {"corner_dwell", &model::stage::Settings::cornerDwell},
    {"dwell_before_jump", &model::stage::Settings::jumpDwellBefore},
    {"dwell_after_jump", &model::stage::Settings::jumpDwellAfter},
    {"jump_step", &model::stage::Settings::jumpStep},
    {"blanking_shift", &model::stage::Settings::blankingShift},
    {"brightness", &model::stage::Settings::brightnessPercent},
    {"show/frames_per_second", &model::stage::Settings::framesPerSecond},
};
struct ZoneField {
    const char* key;
    int model::stage::Zone::*value;
};
constexpr ZoneField kZoneFields[] = {
    {"zone/size", &model::stage::Zone::sizePercent},
    {"zone/offset_x", &model::stage::Zone::offsetX},
    {"zone/offset_y", &model::stage::Zone::offsetY},
    {"zone/quarter_turns", &model::stage::Zone::quarterTurns},
};

int ReadInt(const QSettings& s, const char* key, int fallback) {
    bool ok = false;
    const int v = s.value(QString::fromLatin1(key)).toInt(&ok);
    return ok ? v : fallback;
}

}  // namespace

OutputMemory ReadOutputMemory(const QString& path) {
    OutputMemory m;
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return m;
    }
    const QSettings s(path, QSettings::IniFormat);
    m.address = s.value(QStringLiteral("device/address")).toString().trimmed();
    for (const Field& f : kFields) {
        m.stage.*f.value = ReadInt(s, f.key, m.stage.*f.value);
    }
    for (const ZoneField& f : kZoneFields) {
        m.stage.zone.*f.value = ReadInt(s, f.key, m.stage.zone.*f.value);
    }
    m.stage.zone.flipX = s.value(QStringLiteral("zone/flip_x"), false).toBool();
    m.stage.zone.flipY = s.value(QStringLiteral("zone/flip_y"), false).toBool();
    m.stage.optimiseFiles = s.value(QStringLiteral("show/optimise_files"), false).toBool();
    const QColor colour(s.value(QStringLiteral("beam/default_colour")).toString());
    if (colour.isValid()) {
        m.stage.defaultColour = colour.rgb() & 0xFFFFFFu;
    }
    m.stage = model::stage::Clamped(m.stage);
    return m;
}

bool WriteOutputMemory(const QString& path, const OutputMemory& memory) {
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QSettings s(path, QSettings::IniFormat);
    s.clear();
    s.setValue(QStringLiteral("device/address"), memory.address);
    for (const Field& f : kFields) {
        s.setValue(QString::fromLatin1(f.key), memory.stage.*f.value);
    }
    for (const ZoneField& f : kZoneFields) {
        s.setValue(QString::fromLatin1(f.key), memory.stage.zone.*f.value);
    }
    s.setValue(QStringLiteral("zone/flip_x"), memory.stage.zone.flipX);
    s.setValue(QStringLiteral("zone/flip_y"), memory.stage.zone.flipY);
    s.setValue(QStringLiteral("show/optimise_files"), memory.stage.optimiseFiles);
    s.setValue(QStringLiteral("beam/default_colour"),
               QColor::fromRgb(memory.stage.defaultColour).name());
    s.sync();
    return s.status() == QSettings::NoError;
}

QString DefaultOutputMemoryFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("output.ini"));
}

}  // namespace window
