// The settings kept between runs, in settings.ini in the user's configuration folder for the
// program: so far the language of the texts, which the program reads before it shows any.
// Only the program itself keeps them (the tests give their own file or none).
#pragma once

#include <QString>

#include "editor/settings.h"

namespace editor {

// The language the file names; System when the file, the key or a known value is missing.
Language ReadLanguage(const QString& path);
// Writes the language into the file, keeping whatever else it holds; false when it could not
// be written.
bool WriteLanguage(const QString& path, Language language);
// settings.ini in the user's configuration folder for the program (~/.config/quorinimage).
QString DefaultSettingsFile();

}  // namespace editor
