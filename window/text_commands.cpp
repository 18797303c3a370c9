#include "window/text_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPainter>
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

// The font's sample word in its own strokes, in `colour`: its capitals 10 pixels high on a
// baseline 12 down, narrowed to the picture when wider.
QIcon StrokeSample(const formats::TextFont& font, QSize size, const QColor& colour) {
    formats::TextOptions o;
    o.text = formats::TextSample(font);
    o.font = font;
    o.height = 10;
    o.at = QPointF(1, 12);  // the points come back in the picture's pixels
    const std::vector<model::Path> paths = formats::LayOutText(o).paths;
    const auto pixel = [](double unit) {
        return unit / model::kUnitsPerPixel + model::kCentrePixel;
    };
    double right = 1;
    for (const model::Path& path : paths) {
        for (const model::PathPoint& p : path.points) {
            right = std::max(right, pixel(p.x));
        }
    }
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 1));
    painter.scale(std::min(1.0, (size.width() - 1) / right), 1);
    for (const model::Path& path : paths) {
        QPolygonF line;
        for (const model::PathPoint& p : path.points) {
            line << QPointF(pixel(p.x), pixel(p.y));
        }
        painter.drawPolyline(line);
    }
    return QIcon(picture);
}

// The fonts by their titles: the Hershey ones with their sample drawn in their strokes, a
// separator, the outline ones each in its own face. Each item's data is its index in `fonts`.
void ListFonts(QComboBox& box, const std::vector<formats::TextFont>& fonts) {
    const QSize sample(56, 16);
    box.setIconSize(sample);
    const QColor ink = box.palette().color(QPalette::Text);
    for (size_t i = 0; i < fonts.size(); ++i) {
        const formats::TextFont& font = fonts[i];
        if (i > 0 && font.outline && !fonts[i - 1].outline) {
            box.insertSeparator(box.count());
        }
        if (font.outline) {
            box.addItem(font.title, int(i));
            QFont face = box.font();
            face.setFamilies({font.name});
            box.setItemData(box.count() - 1, face, Qt::FontRole);
        } else {
            box.addItem(StrokeSample(font, sample, ink), font.title, int(i));
            box.setItemData(box.count() - 1, QStringLiteral("--font %1").arg(font.name),
                            Qt::ToolTipRole);
        }
    }
}

}  // namespace

// ---- The dialog ----

TextDialog::TextDialog(QWidget* parent, int spacing, std::vector<model::ContourPoint> contour,
                       std::optional<QPoint> click, std::function<void(const Overlay&)> show,
                       std::vector<model::PointStyle> styles, model::PointStyle style,
                       const TextValues& kept)
    : JoinDialog(parent, std::move(show)),
      fonts_(formats::TextFonts()),
      contour_(std::move(contour)),
      styles_(std::move(styles)),
      style_(style),
      click_(click) {
    setObjectName(QStringLiteral("TextDialog"));
    setWindowTitle(tr("Текст"));

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("TextText"));
    text_->setTabChangesFocus(true);
    text_->setFixedHeight(text_->fontMetrics().lineSpacing() * 4 + 12);
    text_->setPlainText(kept.options.text);

    font_ = new QComboBox(this);
    font_->setObjectName(QStringLiteral("TextFont"));
    ListFonts(*font_, fonts_);
    // The font left last time, or the default one.
    const formats::TextFont& last = kept.options.font;
    const QString name =
        last.name.isEmpty() ? QString::fromLatin1(formats::kDefaultTextFont) : last.name;
    const auto found = std::find_if(fonts_.begin(), fonts_.end(), [&](const formats::TextFont& f) {
        return f.name == name && f.outline == last.outline;
    });
    font_->setCurrentIndex(std::max(0, font_->findData(int(found - fonts_.begin()))));
    font_->setToolTip(tr("Сверху однолинейные шрифты Hershey, ниже контурные"));

    height_ = new QSpinBox(this);
    height_->setObjectName(QStringLiteral("TextHeight"));
    height_->setRange(formats::kMinTextHeight, formats::kMaxTextHeight);
    height_->setValue(qRound(kept.options.height));
    letterSpacing_ = new QSpinBox(this);
    letterSpacing_->setObjectName(QStringLiteral("TextLetterSpacing"));
    letterSpacing_->setRange(-20, 100);
    letterSpacing_->setValue(qRound(kept.options.letterSpacing));
    lineSpacing_ = new QDoubleSpinBox(this);
    lineSpacing_->setObjectName(QStringLiteral("TextLineSpacing"));
    lineSpacing_->setRange(0.5, 5);
    lineSpacing_->setSingleStep(0.1);
    lineSpacing_->setDecimals(1);
    // The unit beside the number ("1.5 высоты"), so that the caption stays short.
    lineSpacing_->setSuffix(tr(" высоты"));
    lineSpacing_->setValue(kept.options.lineSpacing);
    align_ = new QComboBox(this);
    align_->setObjectName(QStringLiteral("TextAlign"));
    align_->addItems({tr("По левому краю"), tr("По центру"), tr("По правому краю")});
    align_->setCurrentIndex(int(kept.options.align));
    place_ = new QComboBox(this);
    place_->setObjectName(QStringLiteral("TextPlace"));
    place_->addItems({tr("В центре поверхности"), tr("От точки щелчка")});
    place_->setEnabled(click_.has_value());
    place_->setCurrentIndex(click_ && kept.atClick ? 1 : 0);
    place_->setToolTip(tr("От точки, где последний раз щёлкнули по поверхности"));
    append_ = new QCheckBox(tr("Добавить к контуру"), this);
    append_->setObjectName(QStringLiteral("TextAppend"));
    append_->setEnabled(!contour_.empty());
    append_->setChecked(!contour_.empty() && kept.append);
    append_->setToolTip(tr("Текст начнётся после конца контура"));
    spacing_ = new QSpinBox(this);
    spacing_->setObjectName(QStringLiteral("TextSpacing"));
    spacing_->setRange(1, 30);
    spacing_->setValue(spacing);

    auto* form = new QFormLayout;
    form->addRow(tr("Текст:"), text_);
    form->addRow(tr("Шрифт:"), font_);
    form->addRow(tr("Высота букв, пикс.:"), height_);
    form->addRow(tr("Между буквами, пикс.:"), letterSpacing_);
    form->addRow(tr("Между строками:"), lineSpacing_);
    form->addRow(tr("Выравнивание:"), align_);
    form->addRow(tr("Место:"), place_);
    form->addRow(tr("Шаг точек, пикс.:"), spacing_);
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

TextValues TextDialog::kept() const {
    TextValues k;
    k.options = options();
    k.options.at.reset();
    k.atClick = place_->currentIndex() == 1;
    k.append = append_->isChecked();
    return k;
}

JoinDialog::Joined TextDialog::Join() {
    const bool append = append_->isChecked();
    result_ = formats::TextAndJoin(options(), spacing_->value(), append ? contour_ : NoPoints(),
                                   append ? styles_ : NoStyles(), style_);
    Fit fit = SpacingFit(result_.fittingSpacing);
    if (result_.offSurface && result_.offSurface->fittingHeight > 0) {
        const int height = result_.offSurface->fittingHeight;
        fit = {height_, height, tr("Высота %1").arg(height)};
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
        [this](const Overlay& overlay) { window_.setOverlay(overlay); }, contour.PointStyles(),
        contour.PenStyle, kept_);
    dialog.RunInto(editor);
    kept_ = dialog.kept();
}

}  // namespace window
