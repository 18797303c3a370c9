#include "window/text_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "editor/editor.h"

namespace window {

namespace {

const std::vector<model::ContourPoint>& NoPoints() {
    static const std::vector<model::ContourPoint> none;
    return none;
}

const std::vector<model::PointStyle>& NoStyles() {
    static const std::vector<model::PointStyle> none;
    return none;
}

}  // namespace

// ---- The dialog ----

TextDialog::TextDialog(QWidget* parent, int spacing, std::vector<model::ContourPoint> contour,
                       std::optional<QPoint> click, std::function<void(const QPolygonF&)> show,
                       std::vector<model::PointStyle> styles, model::PointStyle style)
    : JoinDialog(parent, std::move(show)),
      fonts_(formats::TextFonts()),
      contour_(std::move(contour)),
      styles_(std::move(styles)),
      style_(style),
      click_(click) {
    setObjectName(QStringLiteral("TextDialog"));
    setWindowTitle(QStringLiteral("Текст"));

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("TextText"));
    text_->setTabChangesFocus(true);
    text_->setFixedHeight(text_->fontMetrics().lineSpacing() * 4 + 12);

    // The Hershey fonts, drawn in single strokes, and below them the outline fonts.
    font_ = new QComboBox(this);
    font_->setObjectName(QStringLiteral("TextFont"));
    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (i > 0 && fonts_[i].outline && !fonts_[i - 1].outline) {
            font_->insertSeparator(font_->count());
        }
        font_->addItem(fonts_[i].name, int(i));
    }
    font_->setCurrentIndex(
        std::max(0, font_->findText(QString::fromLatin1(formats::kDefaultTextFont))));
    font_->setToolTip(QStringLiteral("Сверху однолинейные шрифты Hershey, ниже контурные"));

    height_ = new QSpinBox(this);
    height_->setObjectName(QStringLiteral("TextHeight"));
    height_->setRange(formats::kMinTextHeight, formats::kMaxTextHeight);
    height_->setValue(40);
    letterSpacing_ = new QSpinBox(this);
    letterSpacing_->setObjectName(QStringLiteral("TextLetterSpacing"));
    letterSpacing_->setRange(-20, 100);
    lineSpacing_ = new QDoubleSpinBox(this);
    lineSpacing_->setObjectName(QStringLiteral("TextLineSpacing"));
    lineSpacing_->setRange(0.5, 5);
    lineSpacing_->setSingleStep(0.1);
    lineSpacing_->setDecimals(1);
    lineSpacing_->setValue(formats::TextOptions{}.lineSpacing);
    align_ = new QComboBox(this);
    align_->setObjectName(QStringLiteral("TextAlign"));
    align_->addItems({QStringLiteral("По левому краю"), QStringLiteral("По центру"),
                      QStringLiteral("По правому краю")});
    place_ = new QComboBox(this);
    place_->setObjectName(QStringLiteral("TextPlace"));
    place_->addItems({QStringLiteral("В центре поверхности"), QStringLiteral("От точки щелчка")});
    place_->setEnabled(click_.has_value());
    place_->setToolTip(QStringLiteral("От точки, где последний раз щёлкнули по поверхности"));
    append_ = new QCheckBox(QStringLiteral("Добавить к контуру"), this);
    append_->setObjectName(QStringLiteral("TextAppend"));
    append_->setEnabled(!contour_.empty());
    append_->setToolTip(QStringLiteral("Текст начнётся после конца контура"));
    spacing_ = new QSpinBox(this);
    spacing_->setObjectName(QStringLiteral("TextSpacing"));
    spacing_->setRange(1, 30);
    spacing_->setValue(spacing);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Текст:"), text_);
    form->addRow(QStringLiteral("Шрифт:"), font_);
    form->addRow(QStringLiteral("Высота букв, пикс.:"), height_);
    form->addRow(QStringLiteral("Между буквами, пикс.:"), letterSpacing_);
    form->addRow(QStringLiteral("Между строками, высот:"), lineSpacing_);
    form->addRow(QStringLiteral("Выравнивание:"), align_);
    form->addRow(QStringLiteral("Место:"), place_);
    form->addRow(QStringLiteral("Шаг точек, пикс.:"), spacing_);
    form->addRow(QString(), append_);

    // Every change lays the text out again.
    const auto again = [this] { schedule(); };
    connect(text_, &QPlainTextEdit::textChanged, this, again);
    connect(font_, &QComboBox::currentIndexChanged, this, again);
    connect(height_, &QSpinBox::valueChanged, this, again);
    connect(letterSpacing_, &QSpinBox::valueChanged, this, again);
    connect(lineSpacing_, &QDoubleSpinBox::valueChanged, this, again);
    connect(align_, &QComboBox::currentIndexChanged, this, again);
    connect(place_, &QComboBox::currentIndexChanged, this, again);
    connect(append_, &QCheckBox::toggled, this, again);
    AddJoinControls(form, QStringLiteral("Text"), spacing_);
}

TextDialog::~TextDialog() = default;

formats::TextOptions TextDialog::options() const {
    formats::TextOptions o;
    o.text = text_->toPlainText();
    o.font = fonts_.at(size_t(font_->currentData().toInt()));
    o.height = height_->value();
    o.letterSpacing = letterSpacing_->value();
    o.lineSpacing = lineSpacing_->value();
    o.align = formats::TextAlign(align_->currentIndex());
    if (click_ && place_->currentIndex() == 1) {
        o.at = QPointF(*click_);
    }
    return o;
}

JoinDialog::Joined TextDialog::Join() {
    const bool append = append_->isChecked();
    result_ = formats::TextAndJoin(options(), spacing_->value(), append ? contour_ : NoPoints(),
                                   append ? styles_ : NoStyles(), style_);
    Fit fit = SpacingFit(result_.fittingSpacing);
    if (result_.offSurface && result_.offSurface->fittingHeight > 0) {
        const int height = result_.offSurface->fittingHeight;
        fit = {height_, height, QStringLiteral("Высота %1").arg(height)};
    }
    return {result_.contour, formats::TextWarning(result_), fit, result_.layout.paths};
}

// ---- The command ----

TextCommands::TextCommands(CommandWindow& window) : window_(window) {}

void TextCommands::ItemTextClick() {
    editor::Editor& editor = window_.editor();
    QWidget* parent = &window_.mainWindow();
    const model::Contour& contour = editor.contour();
    TextDialog dialog(
        parent, editor.settings().ScrollBarFriqPoints, contour.Points(), window_.lastClick(),
        [this](const QPolygonF& line) { window_.setOverlay(line); }, contour.PointStyles(),
        contour.PenStyle);
    dialog.RunInto(editor);
}

}  // namespace window
