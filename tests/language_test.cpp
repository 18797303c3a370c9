// The language of the texts: how the start chooses it, the setting of the settings window that
// overrides it from the next start on, and the English built into the program.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QStyle>
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
    // Every caption of the settings and about windows fits its control, as the Russian ones do.
    int captions = 0;
    for (QWidget* window :
         {static_cast<QWidget*>(w->OptionForm.get()), static_cast<QWidget*>(w->AboutForm.get())}) {
        for (QWidget* c : window->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(c);
            const auto* button = qobject_cast<QAbstractButton*>(c);
            const auto* group = qobject_cast<QGroupBox*>(c);
            const QString text = label    ? label->text()
                                 : button ? button->text()
                                 : group  ? group->title()
                                          : QString();
            if (text.isEmpty() || (label && label->wordWrap())) {
                continue;
            }
            ++captions;
            const QStyle* style = c->style();
            int need = QFontMetrics(c->font()).horizontalAdvance(text);
            if (button) {
                need += 2 * (style->pixelMetric(QStyle::PM_ButtonMargin) +
                             style->pixelMetric(QStyle::PM_DefaultFrameWidth));
            } else if (group) {
                need += 16;
            }
            EXPECT_LE(need, c->width()) << qPrintable(text);
        }
    }
    EXPECT_GT(captions, 25);
}
