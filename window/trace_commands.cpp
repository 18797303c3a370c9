#include "window/trace_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/editor.h"

namespace window {

// ---- The dialog ----

TraceDialog::TraceDialog(QWidget* parent, const tracing::Picture& picture, int spacing,
                         std::function<void(const Overlay&)> show, model::PointStyle style)
    : JoinDialog(parent, std::move(show)), picture_(picture), style_(style) {
    setObjectName(QStringLiteral("TraceDialog"));
    setWindowTitle(tr("Трассировка подложки"));

    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("TraceMode"));
    mode_->addItems({tr("Контур"), tr("Края"), tr("Средняя линия")});
    mode_->setToolTip(
        tr("Контур: границы тёмных областей. Края: резкие перепады яркости. "
           "Средняя линия: середина штрихов рисунка"));

    thresholdSlider_ = new QSlider(Qt::Horizontal, this);
    thresholdSlider_->setRange(0, 255);
    threshold_ = new QSpinBox(this);
    threshold_->setObjectName(QStringLiteral("TraceThreshold"));
    threshold_->setRange(0, 255);
    threshold_->setValue(picture.AutoThreshold());
    thresholdSlider_->setValue(threshold_->value());
    invert_ = new QCheckBox(tr("Инверсия"), this);
    invert_->setObjectName(QStringLiteral("TraceInvert"));
    invert_->setToolTip(tr("Брать области светлее порога"));
    auto* thresholdRow = new QHBoxLayout;
    thresholdRow->addWidget(thresholdSlider_, 1);
    thresholdRow->addWidget(threshold_);
    thresholdRow->addWidget(invert_);

    const tracing::Options defaults;
    // Distances in pixels, to a tenth, up to ten.
    const auto pixels = [this](double step, double value) {
        auto* box = new QDoubleSpinBox(this);
        box->setRange(0, 10);
        box->setSingleStep(step);
        box->setDecimals(1);
        box->setValue(value);
        return box;
    };
    smoothing_ = pixels(0.5, defaults.smoothing);
    smoothing_->setObjectName(QStringLiteral("TraceSmoothing"));
    minLength_ = new QSpinBox(this);
    minLength_->setObjectName(QStringLiteral("TraceMinLength"));
    minLength_->setRange(0, 1000);
    minLength_->setValue(int(defaults.minLength));
    minLength_->setToolTip(tr("Более короткие линии считаются соринками"));
    tolerance_ = pixels(0.1, defaults.tolerance);
    tolerance_->setObjectName(QStringLiteral("TraceTolerance"));
    spacing_ = new QSpinBox(this);
    spacing_->setObjectName(QStringLiteral("TraceSpacing"));
    spacing_->setRange(1, 30);
    spacing_->setValue(spacing);

    auto* form = new QFormLayout;
    form->addRow(tr("Режим:"), mode_);
    form->addRow(tr("Порог:"), thresholdRow);
    form->addRow(tr("Сглаживание, пикс.:"), smoothing_);
    form->addRow(tr("Мин. длина, пикс.:"), minLength_);
    form->addRow(tr("Допуск упрощения, пикс.:"), tolerance_);
    form->addRow(tr("Шаг точек, пикс.:"), spacing_);

    connect(thresholdSlider_, &QSlider::valueChanged, threshold_, &QSpinBox::setValue);
    connect(threshold_, &QSpinBox::valueChanged, thresholdSlider_, &QSlider::setValue);
    // Every change traces again.
    const auto again = [this] { schedule(); };
    connect(mode_, &QComboBox::currentIndexChanged, this, again);
    connect(threshold_, &QSpinBox::valueChanged, this, again);
    connect(invert_, &QCheckBox::toggled, this, again);
    connect(smoothing_, &QDoubleSpinBox::valueChanged, this, again);
    connect(minLength_, &QSpinBox::valueChanged, this, again);
    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, again);
    AddJoinControls(form, QStringLiteral("Trace"), spacing_);
}

TraceDialog::~TraceDialog() = default;

tracing::Options TraceDialog::options() const {
    tracing::Options o;
    o.mode = tracing::Mode(mode_->currentIndex());
    o.threshold = threshold_->value();
    o.invert = invert_->isChecked();
    o.smoothing = smoothing_->value();
    o.minLength = minLength_->value();
    o.tolerance = tolerance_->value();
    return o;
}

int TraceDialog::spacing() const {
    return spacing_->value();
}

JoinDialog::Joined TraceDialog::Join() {
    result_ = formats::TraceAndJoin(picture_, options(), spacing(), style_);
    return {result_.contour, formats::TraceWarning(result_), SpacingFit(result_.fittingSpacing),
            result_.paths};
}

// ---- The command ----

TraceCommands::TraceCommands(CommandWindow& window) : window_(window) {}

void TraceCommands::SpeedButtonTraceClick() {
    editor::Editor& editor = window_.editor();
    if (!editor.underlay().visible()) {
        // Tracing works on the underlay, so the user sees it, its toggle down.
        editor.ShowUnderlay(true);
        editor.PaintPic(true, true);
    }
    const editor::Underlay::Source source =
        editor.underlay().SourcePicture(editor.canvas().image().size());
    const tracing::Picture picture(source.image, source.area);
    QWidget* parent = &window_.mainWindow();
    TraceDialog dialog(
        parent, picture, editor.settings().ScrollBarFriqPoints,
        [this](const Overlay& overlay) { window_.setOverlay(overlay); }, editor.contour().PenStyle);
    dialog.RunInto(editor);
}

}  // namespace window
