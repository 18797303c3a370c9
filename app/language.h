// The language of the program's texts, Russian or English, and of Qt's own (its buttons, file
// dialogs, the system's messages): chosen at start, for the window and the command line alike.
#pragma once

#include <QStringList>

#include "editor/settings.h"

namespace app {

// The language the texts are shown in: the setting's own choice, or, for Language::System, the
// first of the system's languages (QLocale::system().uiLanguages(), from LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG) that the program speaks. A system that names no language (C, POSIX)
// gets Russian, the program's own; one that names only others gets English. Never System.
editor::Language ResolveLanguage(editor::Language setting, const QStringList& systemLanguages);

// The language at start: the settings file's choice (editor/settings_file.h) over the system's.
editor::Language StartLanguage(const QString& settingsFile);

// Shows the program's texts and Qt's own in `language` (Russian or English) from now on, in
// place of the language put before: the program's English is built into it, Qt's comes from
// Qt's translations (qtbase_ru, qtbase_en) where they are installed. Needs the application
// object.
void UseLanguage(editor::Language language);

}  // namespace app
