// The settings window: a live panel over the editor's colours and sizes. Every change takes
// effect at once (the first-point size through the main window's deferred repaint); closing
// the window only hides it.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QWidget>
#include <vector>

#include "editor/editor.h"
#include "editor/settings.h"
#include "widgets/speed_button.h"

namespace forms {

// A colour drop-down list: each entry shows a swatch and its name.
class ColorBox : public QComboBox {
    Q_OBJECT
  public:
    enum Sets { kStandard = 1, kExtended = 2, kSystem = 4 };
    ColorBox(QWidget* parent, int sets, editor::ColorRef selected);
    editor::ColorRef selectedColor() const;
    // Selects the entry of the colour; returns false when the list does not offer it.
    bool selectColor(editor::ColorRef c);

    // The open list, made on first opening: its rows draw their swatches.
    void showPopup() override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool listMade_ = false;
};

class TOptionForm : public QWidget {
    Q_OBJECT
  public:
    TOptionForm(editor::EditorSettings& settings, editor::Editor& editor,
                QWidget* parent = nullptr);

    editor::EditorSettings& settings() { return settings_; }

    // The queries other windows use: a colour list's colour, a bar's position.
    ColorBox* colorBox(const QString& name) const;
    QScrollBar* scrollBar(const QString& name) const;
    QLabel* valueLabel(const QString& name) const;

    void FormActivate();

    // The language chosen here is written to `file` from now on (the settings file's, read
    // now); without a file it stays in the settings record only. The choice takes effect at
    // the next start, which the hint under it says.
    void KeepLanguage(const QString& file);
    QComboBox* languageBox() const { return language_; }
    QLabel* languageHint() const { return languageHint_; }

  protected:
    bool event(QEvent* e) override;

  private:
    struct Bar {
        QScrollBar* bar;
        QLabel* label;
    };
    ColorBox* addColorBox(QWidget* group, const char* name, int y, const QString& label, int sets,
                          editor::ColorRef& setting, bool hint);
    Bar addBar(QWidget* group, const char* name, const char* labelName, int y,
               const QString& caption, const editor::IntRange& range, int32_t& setting);
    void setLabel(QLabel* label, int value);
    void addLanguage(QWidget* group, int y);
    void keepOuterSize();

    editor::EditorSettings& settings_;
    editor::Editor& editor_;
    Bar sizeFirst_{};
    Bar defaultDot_{};
    Bar lastDot_{};
    Bar hotDot_{};
    Bar friq_{};
    Bar hotBright_{};
    QComboBox* language_ = nullptr;
    QLabel* languageHint_ = nullptr;
    editor::Language startLanguage_;  // the setting the texts were shown in at start
    QString languageFile_;
    QMargins frame_;  // the window frame taken off the client so far
};

}  // namespace forms
