#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "editor/settings_file.h"

namespace app {

editor::Language ResolveLanguage(editor::Language setting, const QStringList& systemLanguages) {
    using editor::Language;
    if (setting != Language::System) {
        return setting;
    }
    for (const QString& name : systemLanguages) {
        // "ru", "ru-RU", "en-US"...; Qt names the C and POSIX locales "C".
        const QString language = name.section(QLatin1Char('-'), 0, 0).toLower();
        if (language == QLatin1String("c") || language == QLatin1String("posix") ||
            language == QLatin1String("ru")) {
            return Language::Russian;
        }
        if (language == QLatin1String("en")) {
            return Language::English;
        }
    }
    return systemLanguages.isEmpty() ? Language::Russian : Language::English;
}

editor::Language StartLanguage(const QString& settingsFile) {
    return ResolveLanguage(editor::ReadLanguage(settingsFile), QLocale::system().uiLanguages());
}

void UseLanguage(editor::Language language) {
    // The translators stay installed while the program runs; a change of language takes the
    // old ones out first.
    static QTranslator program;
    static QTranslator qt;
    QCoreApplication::removeTranslator(&program);
    QCoreApplication::removeTranslator(&qt);
    const bool english = language == editor::Language::English;
    // The program's texts are written in Russian: only English needs a translation.
    if (english && program.load(QStringLiteral(":/i18n/quorinimage_en.qm"))) {
        QCoreApplication::installTranslator(&program);
    }
    if (qt.load(english ? QStringLiteral("qtbase_en") : QStringLiteral("qtbase_ru"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt);
    }
}

}  // namespace app
