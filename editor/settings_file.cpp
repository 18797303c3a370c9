#include "editor/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace editor {

namespace {

const QString kLanguageKey = QStringLiteral("language");

// The languages by the values the file holds.
struct Named {
    Language language;
    const char* value;
};
constexpr Named kLanguages[] = {
    {Language::System, "system"},
    {Language::Russian, "ru"},
    {Language::English, "en"},
};

}  // namespace

Language ReadLanguage(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return Language::System;
    }
    const QSettings s(path, QSettings::IniFormat);
    const QString value = s.value(kLanguageKey).toString().trimmed();
    for (const Named& n : kLanguages) {
        if (value == QLatin1String(n.value)) {
            return n.language;
        }
    }
    return Language::System;
}

bool WriteLanguage(const QString& path, Language language) {
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QSettings s(path, QSettings::IniFormat);
    for (const Named& n : kLanguages) {
        if (n.language == language) {
            s.setValue(kLanguageKey, QString::fromLatin1(n.value));
        }
    }
    s.sync();
    return s.status() == QSettings::NoError;
}

QString DefaultSettingsFile() {
    // The program's folder by its own name, not the application's: the command line and the
    // window's start read the file before the application is named.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("quorinimage/settings.ini"));
}

}  // namespace editor
