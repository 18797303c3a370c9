// The language of the texts: how the start chooses it, the setting of the settings window that
// overrides it from the next start on, and the English built into the program.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

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

namespace {

// Every text a user reads in the widget and its children: captions, labels, buttons, hints,
// list entries, the units of number boxes, the items and hints of its menus.
void TextsOf(const QWidget* widget, QStringList& texts) {
    const auto actions = [&texts](const QWidget* w) {
        for (const QAction* a : w->actions()) {
            texts << a->text() << a->toolTip();
            if (a->menu() != nullptr) {
                TextsOf(a->menu(), texts);
            }
        }
    };
    actions(widget);
    for (const QWidget* w : widget->findChildren<QWidget*>()) {
        texts << w->windowTitle() << w->toolTip();
        actions(w);
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            texts << label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            texts << button->text();
        } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            texts << group->title();
        } else if (const auto* spin = qobject_cast<const QSpinBox*>(w)) {
            texts << spin->prefix() << spin->suffix() << spin->specialValueText();
        } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) {
                texts << combo->itemText(i);
            }
        }
    }
    texts << widget->windowTitle();
}

}  // namespace

TEST(Language, NoRussianWordShowsInTheEnglishProgram) {
    const testing_support::InEnglish english;
    const auto w = app::CreateWindows();
    window::TBaseForm& form = *w->BaseForm;
    form.show();
    // Something to act on: a few points and a picture under them, as a user has.
    editor::Editor& editor = form.editor();
    for (int i = 0; i < 4; ++i) {
        editor.contour().WriteToBuffer(i, 1000000 * i, -2000000 * i);
    }
    editor.state().PointCount = 4;
    QImage picture(300, 300, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(50, 50, 200, 200, Qt::black);
    editor.underlay().setPicture(picture, QRect(40, 40, 300, 300));

    // Every command of the menus and buttons, each dialog it opens read and closed; the windows it
    // opens are read with the others below.
    QStringList texts;
    QTimer closer;
    closer.setInterval(5);
    int dialogs = 0;
    QObject::connect(&closer, &QTimer::timeout, [&texts, &dialogs] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            TextsOf(dialog, texts);
            ++dialogs;
            dialog->done(QDialog::Rejected);
        }
    });
    closer.start();
    int commands = 0;
    for (QAction* a : form.findChildren<QAction*>()) {
        if (a->menu() == nullptr && !a->isSeparator() && a->isEnabled() &&
            a->objectName() != QStringLiteral("ItemExit")) {
            ++commands;
            a->trigger();
        }
    }
    // The in-betweens' number, from the first frame to a new one after it.
    form.action(QStringLiteral("ItemFrameNew"))->trigger();
    form.action(QStringLiteral("ItemFrameFirst"))->trigger();
    form.action(QStringLiteral("ItemFrameInBetween"))->trigger();
    closer.stop();
    EXPECT_GT(commands, 40);
    EXPECT_GE(dialogs, 16);
    for (const QWidget* top : QApplication::topLevelWidgets()) {
        TextsOf(top, texts);
    }
    TextsOf(w->OptionForm.get(), texts);
    TextsOf(w->AboutForm.get(), texts);

    // A Russian word; letters named one by one are not. Samples of the letters a font draws and
    // a language's own name read the same in every language.
    const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]{2}"));
    const QStringList kept = {QStringLiteral("Русский"), QStringLiteral("Лазер")};
    QStringList russian;
    for (const QString& t : texts) {
        if (t.contains(cyrillic) && !kept.contains(t)) {
            russian << t;
        }
    }
    russian.removeDuplicates();
    EXPECT_TRUE(russian.isEmpty()) << russian.join(QStringLiteral("\n")).toStdString();
    EXPECT_GT(texts.size(), 500);
}
