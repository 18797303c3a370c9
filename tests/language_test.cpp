// The language of the texts: how the start chooses it, the setting of the settings window that
// overrides it from the next start on, and the English built into the program.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>

#include "app/application.h"
#include "app/language.h"
#include "editor/settings_file.h"
#include "support/language.h"

using editor::Language;

TEST(Language, TheSystemsFirstLanguageTheProgramHasOrRussianWhenNoneIsSet) {
    struct Row {
        QStringList system;  // QLocale::system().uiLanguages()
        Language setting;
        Language shown;
    };
    const auto l = [](std::initializer_list<const char*> names) {
        QStringList list;
        for (const char* n : names) {
            list << QString::fromLatin1(n);
        }
        return list;
    };
    const Row rows[] = {
        {l({"C"}), Language::System, Language::Russian},  // LANG=C, POSIX or none
        {{}, Language::System, Language::Russian},
        {l({"en-US", "en-Latn-US", "en"}), Language::System, Language::English},
        {l({"ru-RU", "ru-Cyrl-RU", "ru"}), Language::System, Language::Russian},
        {l({"de-DE", "de-Latn-DE", "de"}), Language::System, Language::English},
        {l({"de", "ru", "en"}), Language::System, Language::Russian},  // LANGUAGE=de:ru:en
        {l({"ru-RU"}), Language::English, Language::English},
        {l({"en-GB"}), Language::Russian, Language::Russian},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(app::ResolveLanguage(r.setting, r.system), r.shown)
            << r.system.join(u',').toStdString() << " " << int(r.setting);
    }
}

TEST(Language, TheSettingsWindowKeepsTheChoiceForTheNextStart) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("config/settings.ini"));
    EXPECT_EQ(editor::ReadLanguage(file), Language::System);
    const auto w = app::CreateWindows();
    w->OptionForm->KeepLanguage(file);
    QComboBox* box = w->OptionForm->languageBox();
    QLabel* hint = w->OptionForm->languageHint();
    EXPECT_EQ(box->currentData().toInt(), int(Language::System));
    EXPECT_FALSE(hint->isVisibleTo(w->OptionForm.get()));

    box->setCurrentIndex(box->findData(int(Language::English)));
    EXPECT_EQ(editor::ReadLanguage(file), Language::English);
    EXPECT_EQ(w->settings.language, Language::English);
    EXPECT_TRUE(hint->isVisibleTo(w->OptionForm.get()));
    EXPECT_EQ(hint->text(), QStringLiteral("Язык сменится при следующем запуске"));
    // The next start finds it; choosing what the start had takes the hint away again.
    const auto next = app::CreateWindows();
    next->OptionForm->KeepLanguage(file);
    EXPECT_EQ(next->OptionForm->languageBox()->currentData().toInt(), int(Language::English));
    box->setCurrentIndex(box->findData(int(Language::System)));
    EXPECT_EQ(editor::ReadLanguage(file), Language::System);
    EXPECT_FALSE(hint->isVisibleTo(w->OptionForm.get()));
}

TEST(Language, EnglishWindowsReadInEnglishAndTheirCaptionsFit) {
    const testing_support::InEnglish english;
    const auto w = app::CreateWindows();
    QStringList menus;
    for (const QAction* a : w->BaseForm->menuBar()->actions()) {
        menus << a->text();
    }
    EXPECT_EQ(menus, (QStringList{QStringLiteral("File"), QStringLiteral("Edit"),
                                  QStringLiteral("Frame"), QStringLiteral("Help")}));
    EXPECT_EQ(w->BaseForm->action(QStringLiteral("ItemExit"))->text(), QStringLiteral("Exit"));
    EXPECT_EQ(w->OptionForm->windowTitle(), QStringLiteral("Settings"));
    // The settings window's labels fit their fixed widths in English too.
    int labels = 0;
    for (const QLabel* label : w->OptionForm->findChildren<QLabel*>()) {
        if (!label->text().isEmpty() && !label->wordWrap()) {
            ++labels;
            EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
                << qPrintable(label->text());
        }
    }
    EXPECT_GT(labels, 15);
}
