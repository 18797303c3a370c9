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
#include "window/surface_widget.h"

namespace window {

// ---- The dialog ----

TraceDialog::TraceDialog(QWidget* parent, const tracing::Picture& picture, int spacing,
                         std::function<void(const QPolygonF&)> show, model::PointStyle style)
    : QDialog(parent), picture_(picture), show_(std::move(show)), style_(style) {
    setObjectName(QStringLiteral("TraceDialog"));
    setWindowTitle(QStringLiteral("Трассировка подложки"));
    setModal(true);

    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("TraceMode"));
    mode_->addItems(
        {QStringLiteral("Контур"), QStringLiteral("Края"), QStringLiteral("Средняя линия")});
    mode_->setToolTip(
        QStringLiteral("Контур: границы тёмных областей. Края: резкие перепады яркости. "
                       "Средняя линия: середина штрихов рисунка"));

    thresholdSlider_ = new QSlider(Qt::Horizontal, this);
    thresholdSlider_->setRange(0, 255);
    threshold_ = new QSpinBox(this);
    threshold_->setObjectName(QStringLiteral("TraceThreshold"));
    threshold_->setRange(0, 255);
    threshold_->setValue(picture.AutoThreshold());
    thresholdSlider_->setValue(threshold_->value());
    invert_ = new QCheckBox(QStringLiteral("Инверсия"), this);
    invert_->setObjectName(QStringLiteral("TraceInvert"));
    invert_->setToolTip(QStringLiteral("Брать области светлее порога"));
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
    minLength_->setToolTip(QStringLiteral("Более короткие линии считаются соринками"));
    tolerance_ = pixels(0.1, defaults.tolerance);
    tolerance_->setObjectName(QStringLiteral("TraceTolerance"));
    spacing_ = new QSpinBox(this);
    spacing_->setObjectName(QStringLiteral("TraceSpacing"));
    spacing_->setRange(1, 30);
    spacing_->setValue(spacing);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Режим:"), mode_);
    form->addRow(QStringLiteral("Порог:"), thresholdRow);
    form->addRow(QStringLiteral("Сглаживание, пикс.:"), smoothing_);
    form->addRow(QStringLiteral("Мин. длина, пикс.:"), minLength_);
    form->addRow(QStringLiteral("Допуск упрощения, пикс.:"), tolerance_);
    form->addRow(QStringLiteral("Шаг точек, пикс.:"), spacing_);

    controls_ = std::make_unique<JoinControls>(*this, form, QStringLiteral("Trace"));

    // Every change traces again once the events of the moment are handled, so a dragged
    // slider traces for where it is, not for every step it passed.
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, [this] { update(); });
    connect(thresholdSlider_, &QSlider::valueChanged, threshold_, &QSpinBox::setValue);
    connect(threshold_, &QSpinBox::valueChanged, thresholdSlider_, &QSlider::setValue);
    connect(mode_, &QComboBox::currentIndexChanged, this, [this] { schedule(); });
    connect(threshold_, &QSpinBox::valueChanged, this, [this] { schedule(); });
    connect(invert_, &QCheckBox::toggled, this, [this] { schedule(); });
    connect(smoothing_, &QDoubleSpinBox::valueChanged, this, [this] { schedule(); });
    connect(minLength_, &QSpinBox::valueChanged, this, [this] { schedule(); });
    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, [this] { schedule(); });
    connect(spacing_, &QSpinBox::valueChanged, this, [this] { schedule(); });
    connect(controls_->fit, &QPushButton::clicked, this, [this] {
        if (result_.fittingSpacing > 0) {
            spacing_->setValue(result_.fittingSpacing);
        }
    });
    connect(this, &QDialog::finished, this, [this] { show_(QPolygonF()); });
    update();
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

void TraceDialog::accept() {
    if (pending_.isActive()) {
        update();
    }
    if (!result_.contour.fits()) {
        return;
    }
    QDialog::accept();
}

void TraceDialog::schedule() {
    pending_.start();
}

void TraceDialog::update() {
    pending_.stop();
    result_ = formats::TraceAndJoin(picture_, options(), spacing(), style_);
    const model::JoinedContour& c = result_.contour;
    controls_->show(c, formats::TraceWarning(result_), result_.fittingSpacing);
    show_(PreviewLine(c, result_.paths));
}

// ---- The command ----

TraceCommands::TraceCommands(CommandWindow& window, SurfaceWidget& surface)
    : window_(window), surface_(surface) {}

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
    QWidget* parent = surface_.window();
    TraceDialog dialog(
        parent, picture, editor.settings().ScrollBarFriqPoints,
        [this](const QPolygonF& line) { surface_.setOverlay(line); }, editor.contour().PenStyle);
    PlaceBeside(dialog, *parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.traced().contour.fits()) {
        return;
    }
    editor.ReplaceContour(dialog.traced().contour.points, dialog.traced().contour.styles);
}

}  // namespace window
