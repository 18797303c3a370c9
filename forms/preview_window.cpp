#include "forms/preview_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

namespace forms {

using preview::FramesPerSecond;
using preview::FrameTimeMs;
using preview::kScanRates;

ScanView::ScanView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ScanView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(128, 128);
}

void ScanView::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QPoint o = origin();
    p.drawImage(o, picture_);
    if (beamShown_) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(beam_ + QPointF(o), 2.5, 2.5);
    }
}

void ScanView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Q_EMIT resized();
}

TPreviewForm::TPreviewForm(editor::Editor& editor, QWidget* parent)
    : QWidget(parent, Qt::Window), editor_(editor) {
    setObjectName(QStringLiteral("PreviewForm"));
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Preview"));

    ComboBoxScanRate = new QComboBox(this);
    ComboBoxScanRate->setObjectName(QStringLiteral("ComboBoxScanRate"));
    for (int rate : kScanRates) {
        ComboBoxScanRate->addItem(QStringLiteral("%1 точек/с").arg(rate), rate);
    }
    ComboBoxScanRate->setToolTip(QStringLiteral("Скорость вывода на лазер; она же в окне «Лазер»"));
    CheckBoxScanner = new QCheckBox(QStringLiteral("Сканер"), this);
    CheckBoxScanner->setObjectName(QStringLiteral("CheckBoxScanner"));
    CheckBoxScanner->setToolTip(QStringLiteral("Инерция зеркал: скругление углов и выбросы"));
    LabelPoints = new QLabel(this);
    LabelPoints->setObjectName(QStringLiteral("LabelPoints"));
    LabelFps = new QLabel(this);
    LabelFps->setObjectName(QStringLiteral("LabelFps"));
    LabelFrameTime = new QLabel(this);
    LabelFrameTime->setObjectName(QStringLiteral("LabelFrameTime"));
    view_ = new ScanView(this);

    auto* controls = new QHBoxLayout;
    auto* rateLabel = new QLabel(QStringLiteral("Скорость сканирования:"), this);
    controls->addWidget(rateLabel);
    controls->addWidget(ComboBoxScanRate);
    controls->addSpacing(12);
    controls->addWidget(CheckBoxScanner);
    controls->addStretch();
    auto* readouts = new QHBoxLayout;
    for (QLabel* l : {LabelPoints, LabelFps, LabelFrameTime}) {
        readouts->addWidget(l);
        readouts->addSpacing(12);
    }
    readouts->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(controls);
    layout->addLayout(readouts);
    layout->addWidget(view_, 1);
    resize(440, 500);

    connect(ComboBoxScanRate, &QComboBox::currentIndexChanged, this, [this] {
        model::stage::Settings stage = editor_.document().output().get();
        stage.pointRate = ComboBoxScanRate->currentData().toInt();
        // Announced to both windows, this one among them.
        editor_.document().output().set(stage);
    });
    // Each change of the document renders again, while the window is shown.
    connect(&editor_.document(), &editor::Document::Changed, this, [this] {
        if (isVisible()) {
            Refresh();
        }
    });
    connect(CheckBoxScanner, &QCheckBox::toggled, this, [this] { Refresh(); });
    connect(view_, &ScanView::resized, this, [this] { Refresh(); });

    // One tick per refresh of the display moves the beam marker on. Runs only while the window
    // is shown.
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, [this] { frameTimerTimer(); });
    Refresh();
}

int TPreviewForm::scanRate() const {
    return model::stage::Clamped(editor_.document().output().get()).pointRate;
}

void TPreviewForm::ShowRate(int rate) {
    // Showing a rate chooses nothing: neither the insertion, which moves the current item, nor
    // the new current item may set the output's rate.
    const QSignalBlocker quiet(ComboBoxScanRate);
    int at = ComboBoxScanRate->findData(rate);
    if (at < 0) {
        // A rate set in the Лазер window joins the list in its place.
        at = 0;
        while (at < ComboBoxScanRate->count() && ComboBoxScanRate->itemData(at).toInt() < rate) {
            ++at;
        }
        ComboBoxScanRate->insertItem(at, QStringLiteral("%1 точек/с").arg(rate), rate);
    }
    ComboBoxScanRate->setCurrentIndex(at);
}

bool TPreviewForm::Refresh() {
    const model::Contour& c = editor_.contour();
    const int n = preview::LivePointCount(c);
    const model::stage::Settings stage = model::stage::Clamped(editor_.document().output().get());
    // Points without a colour of their own go out, and are drawn, in the output's colour.
    const QRgb color = stage.defaultColour | 0xFF000000u;
    // Rendered at the screen's own pixels, so the beam stays one pixel wide on a dense screen.
    const qreal dpr = view_->devicePixelRatioF();
    const int size = int(view_->side() * dpr);
    const bool scanner = scannerModel();
    if (ComboBoxScanRate->currentData().toInt() != stage.pointRate) {
        ShowRate(stage.pointRate);
    }
    // At most 4100 slots (16 KB): cheap enough to compare on every tick.
    const std::size_t slots = std::size_t(2 * n);
    const bool same =
        n == count_ && color == color_ && size == size_ && stage == stage_ && scanner == scanner_ &&
        (slots == 0 || std::memcmp(slots_.data(), c.Buffer.data(), slots * sizeof(int32_t)) == 0) &&
        std::equal(styles_.begin(), styles_.end(), c.Styles.begin());
    if (same) {
        return false;
    }
    count_ = n;
    slots_.assign(c.Buffer.begin(), c.Buffer.begin() + std::ptrdiff_t(slots));
    styles_.assign(c.Styles.begin(),
                   c.Styles.begin() + std::min<std::ptrdiff_t>(n, model::kStylePoints));
    color_ = color;
    size_ = size;
    stage_ = stage;
    rate_ = stage.pointRate;
    scanner_ = scanner;
    // What the Лазер window sends, point for point.
    stream_ = preview::StreamOf(c, color & 0xFFFFFFu, stage);
    points_ = preview::FromStream(stream_, color & 0xFFFFFFu, stage.brightnessPercent);
    preview::RenderOptions o;
    o.size = size;
    o.rate = rate_;
    o.scanner = scanner;
    o.color = color;
    o.light = float(stage.brightnessPercent) / 100.0f;
    picture_ = renderer_.Render(points_, o);
    picture_.setDevicePixelRatio(dpr);
    ++renders_;
    view_->setPicture(picture_);
    ShowReadouts();
    view_->update();
    return true;
}

void TPreviewForm::ShowReadouts() {
    const int rate = rate_;
    // An empty contour sends one dark point over and over: no frames to speak of.
    const int frame = count_ > 0 ? int(stream_.size()) : 0;
    LabelPoints->setText(QStringLiteral("Точек: %1, в кадре: %2").arg(count_).arg(stream_.size()));
    LabelFps->setText(
        QStringLiteral("Кадров в секунду: %1").arg(FramesPerSecond(rate, frame), 0, 'f', 1));
    LabelFrameTime->setText(
        QStringLiteral("Время кадра: %1 мс").arg(FrameTimeMs(rate, frame), 0, 'f', 1));
    const bool flickers = preview::Flickers(rate, frame);
    QPalette pal = palette();
    if (flickers) {
        pal.setColor(QPalette::WindowText, QColor::fromRgb(kFlickerWarning));
    }
    LabelFps->setPalette(pal);
    LabelFps->setToolTip(flickers ? QStringLiteral("Меньше 20 кадров в секунду: видно мерцание")
                                  : QString());
}

void TPreviewForm::frameTimerTimer() {
    // The beam's place in the frame now: the point whose slot is running.
    const auto& beam = renderer_.beamPositions();
    if (beam.empty()) {
        view_->setBeam(false, {});
    } else {
        const qint64 slot = clock_.elapsed() * rate_ / 1000;
        const QPointF at = beam[std::size_t(slot % qint64(beam.size()))];
        view_->setBeam(true, at / picture_.devicePixelRatio());
    }
    view_->update();
}

void TPreviewForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    const QScreen* s = screen();
    const double hz = s != nullptr && s->refreshRate() > 1 ? s->refreshRate() : 60.0;
    frameTimer_.start(std::max(1, int(1000.0 / hz)));
    clock_.start();
    Refresh();
}

void TPreviewForm::hideEvent(QHideEvent* event) {
    frameTimer_.stop();
    QWidget::hideEvent(event);
}

}  // namespace forms
