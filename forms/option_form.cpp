#include "forms/option_form.h"

#include <QEvent>
#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QWindow>
#include <array>

#include "editor/settings_file.h"

namespace forms {

namespace {

struct NamedColor {
    editor::ColorRef color;
    const char* name;
};

// The names are translated where the lists are filled (ColorBox's context).
constexpr NamedColor kStandardColors[] = {
    {0x000000, QT_TRANSLATE_NOOP("forms::ColorBox", "Black")},
    {0x000080, QT_TRANSLATE_NOOP("forms::ColorBox", "Maroon")},
    {0x008000, QT_TRANSLATE_NOOP("forms::ColorBox", "Green")},
    {0x008080, QT_TRANSLATE_NOOP("forms::ColorBox", "Olive")},
    {0x800000, QT_TRANSLATE_NOOP("forms::ColorBox", "Navy")},
    {0x800080, QT_TRANSLATE_NOOP("forms::ColorBox", "Purple")},
    {0x808000, QT_TRANSLATE_NOOP("forms::ColorBox", "Teal")},
    {0x808080, QT_TRANSLATE_NOOP("forms::ColorBox", "Gray")},
    {0xC0C0C0, QT_TRANSLATE_NOOP("forms::ColorBox", "Silver")},
    {0x0000FF, QT_TRANSLATE_NOOP("forms::ColorBox", "Red")},
    {0x00FF00, QT_TRANSLATE_NOOP("forms::ColorBox", "Lime")},
    {0x00FFFF, QT_TRANSLATE_NOOP("forms::ColorBox", "Yellow")},
    {0xFF0000, QT_TRANSLATE_NOOP("forms::ColorBox", "Blue")},
    {0xFF00FF, QT_TRANSLATE_NOOP("forms::ColorBox", "Fuchsia")},
    {0xFFFF00, QT_TRANSLATE_NOOP("forms::ColorBox", "Aqua")},
    {0xFFFFFF, QT_TRANSLATE_NOOP("forms::ColorBox", "White")},
};

constexpr NamedColor kExtendedColors[] = {
    {0xC0DCC0, QT_TRANSLATE_NOOP("forms::ColorBox", "Money Green")},
    {0xF0CAA6, QT_TRANSLATE_NOOP("forms::ColorBox", "Sky Blue")},
    {0xF0FBFF, QT_TRANSLATE_NOOP("forms::ColorBox", "Cream")},
    {0xA4A0A0, QT_TRANSLATE_NOOP("forms::ColorBox", "Medium Gray")},
};

constexpr std::array<const char*, editor::kSystemColorCount> kSystemColorNames = {
    QT_TRANSLATE_NOOP("forms::ColorBox", "Scroll Bar"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Background"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Active Caption"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Inactive Caption"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Menu"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Window"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Window Frame"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Menu Text"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Window Text"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Caption Text"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Active Border"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Inactive Border"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "App Workspace"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Highlight"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Highlight Text"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Button Face"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Button Shadow"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Gray Text"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Button Text"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Inactive Caption Text"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Button Highlight"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "3D Dark Shadow"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "3D Light"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Info Text"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Info Background"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "System Color 25"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Hot Light"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Gradient Active Caption"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Gradient Inactive Caption"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Menu Highlight"),
    QT_TRANSLATE_NOOP("forms::ColorBox", "Menu Bar"),
};

// The open list's rows: each colour's swatch, 16 by 12 in a black frame, before its name. The
// swatches are drawn as the rows are, not made for every colour of every box at start.
class SwatchDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem text = option;
        text.rect.setLeft(text.rect.left() + kSwatch.width() + 6);
        QStyledItemDelegate::paint(painter, text, index);
        const auto c = editor::ColorRef(index.data(Qt::UserRole).toUInt());
        const QRect swatch(option.rect.left() + 3,
                           option.rect.top() + (option.rect.height() - kSwatch.height()) / 2,
                           kSwatch.width(), kSwatch.height());
        painter->fillRect(swatch, QColor::fromRgb(editor::ResolveColor(c)));
        painter->setPen(Qt::black);
        painter->drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += kSwatch.width() + 6;
        size.setHeight(std::max(size.height(), kSwatch.height() + 4));
        return size;
    }

  private:
    static constexpr QSize kSwatch{16, 12};
};

}  // namespace

ColorBox::ColorBox(QWidget* parent, int sets, editor::ColorRef selected) : QComboBox(parent) {
    const auto add = [this](editor::ColorRef c, const char* name) {
        addItem(tr(name), QVariant::fromValue(uint(c)));
    };
    if (sets & kStandard) {
        for (const NamedColor& n : kStandardColors) {
            add(n.color, n.name);
        }
    }
    if (sets & kExtended) {
        for (const NamedColor& n : kExtendedColors) {
            add(n.color, n.name);
        }
    }
    if (sets & kSystem) {
        for (int i = 0; i < editor::kSystemColorCount; ++i) {
            add(editor::kSystemColorFlag | editor::ColorRef(i), kSystemColorNames[size_t(i)]);
        }
    }
    setMaxVisibleItems(16);
    setCursor(Qt::PointingHandCursor);
    selectColor(selected);
}

void ColorBox::showPopup() {
    if (!listMade_) {
        listMade_ = true;
        // The closed list is narrow and shows only the swatch; the open list names the colours.
        // Made here, not with the window at start: the list view is the costly part of a box.
        setItemDelegate(new SwatchDelegate(this));
        view()->setMinimumWidth(180);
    }
    QComboBox::showPopup();
}

editor::ColorRef ColorBox::selectedColor() const {
    return editor::ColorRef(currentData().toUInt());
}

bool ColorBox::selectColor(editor::ColorRef c) {
    const int i = findData(QVariant::fromValue(uint(c)));
    if (i < 0) {
        return false;
    }
    setCurrentIndex(i);
    return true;
}

void ColorBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    const QRect swatch = field.adjusted(2, 3, -2, -3);
    p.fillRect(swatch, QColor::fromRgb(editor::ResolveColor(selectedColor())));
    p.setPen(Qt::black);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
}

TOptionForm::TOptionForm(editor::EditorSettings& settings, editor::Editor& editor, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings), editor_(editor) {
    setObjectName(QStringLiteral("OptionForm"));
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("OptionForm"));
    // 510 by 301 at (187, 107) is the outer frame. A window's position counts its frame
    // already; its size is the client's, shrunk by the decorations once they are known.
    move(187, 107);
    resize(510, 301);
    // Group box titles sit on the frame line, so the children's positions count from the
    // box's top edge.
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 0px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 7px; padding: 0px 1px; }"));

    auto* colors = new QGroupBox(tr(" Цветa "), this);
    colors->setGeometry(8, 8, 153, 225);
    using editor::EditorSettings;
    const int std = ColorBox::kStandard;
    addColorBox(colors, "ColorBoxLine", 21, tr("Линия рисунка"), std, settings_.ColorBoxLine,
                false);
    addColorBox(colors, "ColorBoxFirstDot", 45, tr("Первая Точка"), std, settings_.ColorBoxFirstDot,
                true);
    addColorBox(colors, "ColorBoxDefDot", 69, tr("Точка рисунка"), std, settings_.ColorBoxDefDot,
                true);
    addColorBox(colors, "ColorBoxLastDot", 93, tr("Последняя Точка"), std,
                settings_.ColorBoxLastDot, true);
    addColorBox(colors, "ColorBoxHotDot", 117, tr("Горячие точки"), std, settings_.ColorBoxHotDot,
                true);
    addColorBox(colors, "ColorBoxBase", 141, tr("Цвет фона"),
                std | ColorBox::kExtended | ColorBox::kSystem, settings_.ColorBoxBase, true);
    addColorBox(colors, "ColorBoxLineCoda", 165, tr("Линия cоединения"), std | ColorBox::kExtended,
                settings_.ColorBoxLineCoda, false);
    addColorBox(colors, "ColorBoxLineSetka", 189, tr("Линия ceтки"), std,
                settings_.ColorBoxLineSetka, false);

    auto* sizes = new QGroupBox(tr("Размеры точек"), this);
    sizes->setGeometry(168, 8, 161, 193);
    sizeFirst_ =
        addBar(sizes, "ScrollBarSizeFirstDot", "LabelSizeFirst", 16, tr("Размер первой точки"),
               editor::kSizeFirstDotRange, settings_.ScrollBarSizeFirstDot);
    defaultDot_ =
        addBar(sizes, "ScrollBarSizeDefDots", "LabelDefaultDot", 56, tr("Размер текущих точек"),
               editor::kSizeDefDotsRange, settings_.ScrollBarSizeDefDots);
    lastDot_ = addBar(sizes, "ScrollBarLastDot", "LabelLastDot", 96, tr("Размер последней точки"),
                      editor::kLastDotRange, settings_.ScrollBarLastDot);
    hotDot_ = addBar(sizes, "ScrollBarSizeHotDots", "LabelHotDot", 136, tr("Размер горячих точек"),
                     editor::kSizeHotDotsRange, settings_.ScrollBarSizeHotDots);

    auto* option = new QGroupBox(tr("Option"), this);
    option->setGeometry(336, 8, 161, 193);
    friq_ =
        addBar(option, "ScrollBarFriqPoints", "LabelFriqPoints", 16, tr("Расстояние между точками"),
               editor::kFriqPointsRange, settings_.ScrollBarFriqPoints);
    hotBright_ =
        addBar(option, "ScrollBarBrightHotDot", "LabelHotBright", 56, tr("Яркость горячей  точки"),
               editor::kBrightHotDotRange, settings_.ScrollBarBrightHotDot);
    // In the group's room under its bars.
    addLanguage(option, 96);

    // The first-point size repaints through the main window's deferred repaint, so a long
    // drag repaints about every 200 ms; every other bar repaints at once.
    connect(sizeFirst_.bar, &QScrollBar::valueChanged, this, [this] { editor_.ArmRepaint(); });
    for (const Bar* b : {&defaultDot_, &lastDot_, &hotDot_, &friq_, &hotBright_}) {
        connect(b->bar, &QScrollBar::valueChanged, this, [this] { editor_.Repaint(); });
    }

    // The two buttons at the foot have no action.
    const std::pair<const char*, QString> buttons[] = {
        {"SpeedButtoSAaveSetting", tr("Записать текущие установки")},
        {"SpeedButtonAbortSetting", tr("Отменить последние изменения")}};
    int x = 0;
    for (const auto& [name, caption] : buttons) {
        auto* b = new widgets::SpeedButton(this, 0, false);
        b->setObjectName(QString::fromUtf8(name));
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setAutoRaise(false);
        b->setGeometry(x, 240, 161, 22);
        x += 168;
    }
}

ColorBox* TOptionForm::addColorBox(QWidget* group, const char* name, int y, const QString& label,
                                   int sets, editor::ColorRef& setting, bool hint) {
    auto* box = new ColorBox(group, sets, setting);
    box->setObjectName(QString::fromUtf8(name));
    box->setGeometry(8, y, 37, 22);
    if (hint) {
        box->setToolTip(tr("Устанавливает цвет #10#13  точки "));
    }
    auto* text = new QLabel(label, group);
    text->setGeometry(52, y + 4, 100, 14);
    connect(box, &QComboBox::currentIndexChanged, this, [this, box, &setting] {
        setting = box->selectedColor();
        editor_.Repaint();
        // The line colour is the colour default points go out in.
        editor_.document().Settle();
    });
    return box;
}

TOptionForm::Bar TOptionForm::addBar(QWidget* group, const char* name, const char* labelName, int y,
                                     const QString& caption, const editor::IntRange& range,
                                     int32_t& setting) {
    auto* title = new QLabel(caption, group);
    title->setGeometry(8, y, 150, 14);
    auto* bar = new QScrollBar(Qt::Horizontal, group);
    bar->setObjectName(QString::fromUtf8(name));
    bar->setGeometry(8, y + 16, 113, 16);
    bar->setRange(range.min, range.max);
    bar->setValue(setting);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setCursor(Qt::PointingHandCursor);
    auto* label = new QLabel(QStringLiteral("#1"), group);
    label->setObjectName(QString::fromUtf8(labelName));
    label->setGeometry(128, y + 17, 28, 14);
    // The setting and the label follow the bar before the repaint that the bar asks for.
    connect(bar, &QScrollBar::valueChanged, this, [this, label, &setting](int v) {
        setting = v;
        setLabel(label, v);
    });
    return {bar, label};
}

void TOptionForm::addLanguage(QWidget* group, int y) {
    auto* title = new QLabel(tr("Язык"), group);
    title->setGeometry(8, y, 150, 14);
    language_ = new QComboBox(group);
    language_->setObjectName(QStringLiteral("ComboBoxLanguage"));
    language_->setGeometry(8, y + 16, 145, 22);
    // In editor::Language's order.
    language_->addItem(tr("как в системе"), int(editor::Language::System));
    // Each language by its own name, the same in every language.
    language_->addItem(QStringLiteral("Русский"), int(editor::Language::Russian));
    language_->addItem(QStringLiteral("English"), int(editor::Language::English));
    language_->setCurrentIndex(language_->findData(int(settings_.language)));
    language_->setToolTip(tr("Язык сменится при следующем запуске"));
    startLanguage_ = settings_.language;
    languageHint_ = new QLabel(tr("Язык сменится при следующем запуске"), group);
    languageHint_->setObjectName(QStringLiteral("LabelLanguageHint"));
    languageHint_->setGeometry(8, y + 42, 145, 28);
    languageHint_->setWordWrap(true);
    languageHint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    languageHint_->hide();
    connect(language_, &QComboBox::currentIndexChanged, this, [this] {
        settings_.language = editor::Language(language_->currentData().toInt());
        if (!languageFile_.isEmpty()) {
            editor::WriteLanguage(languageFile_, settings_.language);
        }
        languageHint_->setVisible(settings_.language != startLanguage_);
    });
}

void TOptionForm::KeepLanguage(const QString& file) {
    settings_.language = editor::ReadLanguage(file);
    startLanguage_ = settings_.language;
    const QSignalBlocker quiet(language_);
    language_->setCurrentIndex(language_->findData(int(settings_.language)));
    languageHint_->hide();
    languageFile_ = file;
}

void TOptionForm::setLabel(QLabel* label, int value) {
    label->setText(QString::number(value));
}

ColorBox* TOptionForm::colorBox(const QString& name) const {
    return findChild<ColorBox*>(name);
}

QScrollBar* TOptionForm::scrollBar(const QString& name) const {
    return findChild<QScrollBar*>(name);
}

QLabel* TOptionForm::valueLabel(const QString& name) const {
    return findChild<QLabel*>(name);
}

void TOptionForm::FormActivate() {
    for (const Bar* b : {&sizeFirst_, &defaultDot_, &hotDot_, &lastDot_, &hotBright_, &friq_}) {
        setLabel(b->label, b->bar->value());
    }
}

void TOptionForm::keepOuterSize() {
    // The window system tells the frame only after the window is shown, and a window manager
    // may frame it later still. Each change of the frame comes off the client, so the outer
    // size stays as it was and a size the user chose is kept.
    const QWindow* window = windowHandle();
    if (window == nullptr || window->frameMargins() == frame_) {
        return;
    }
    const QMargins m = window->frameMargins();
    const QSize grow(m.left() + m.right() - frame_.left() - frame_.right(),
                     m.top() + m.bottom() - frame_.top() - frame_.bottom());
    frame_ = m;
    resize(size() - grow);
}

bool TOptionForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    const bool done = QWidget::event(e);
    if (e->type() == QEvent::Show || e->type() == QEvent::Move || e->type() == QEvent::Resize) {
        keepOuterSize();
    }
    return done;
}

}  // namespace forms
