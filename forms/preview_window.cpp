#include "forms/preview_window.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

namespace forms {

namespace {

// The settings a held frame is drawn with: those of the show's time make no difference to it.
model::stage::Settings Held(model::stage::Settings s) {
    const model::stage::Settings d;
    s.framesPerSecond = d.framesPerSecond;
    s.optimiseFiles = d.optimiseFiles;
    return s;
}

}  // namespace

QString ShowPace(const model::stage::ShowStream& show, int framesPerSecond) {
    if (!show.slow) {
        return QCoreApplication::translate("forms::TPreviewForm", "Показ: %1 кадров/с")
            .arg(framesPerSecond);
    }
    // Whole frames above ten, so that a show just short of its rate never reads as reaching it.
    const double fps = show.framesPerSecond;
    return QCoreApplication::translate("forms::TPreviewForm", "Показ не успевает: %1 кадров/с")
        .arg(fps < 10 ? QString::number(fps, 'f', 1) : QString::number(int(fps)));
}

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
        ComboBoxScanRate->addItem(tr("%1 точек/с").arg(rate), rate);
    }
    ComboBoxScanRate->setToolTip(tr("Скорость вывода на лазер; она же в окне «Лазер»"));
    CheckBoxScanner = new QCheckBox(tr("Сканер"), this);
    CheckBoxScanner->setObjectName(QStringLiteral("CheckBoxScanner"));
    CheckBoxScanner->setToolTip(tr("Инерция зеркал: скругление углов и выбросы"));
    LabelPoints = new QLabel(this);
    LabelPoints->setObjectName(QStringLiteral("LabelPoints"));
    LabelFps = new QLabel(this);
    LabelFps->setObjectName(QStringLiteral("LabelFps"));
    LabelFrameTime = new QLabel(this);
    LabelFrameTime->setObjectName(QStringLiteral("LabelFrameTime"));
    // The show: played at its frame rate (shared with the Лазер window), or the frame edited
    // held.
    ButtonPlay = new QPushButton(tr("Показ"), this);
    ButtonPlay->setObjectName(QStringLiteral("ButtonPlay"));
    ButtonPlay->setCheckable(true);
    ButtonPlay->setAutoDefault(false);
    ButtonPlay->setToolTip(tr("Играть все кадры с частотой кадров"));
    SpinFps = new QSpinBox(this);
    SpinFps->setObjectName(QStringLiteral("SpinFps"));
    SpinFps->setRange(model::stage::kMinFramesPerSecond, model::stage::kMaxFramesPerSecond);
    SpinFps->setValue(model::stage::Settings{}.framesPerSecond);
    SpinFps->setKeyboardTracking(false);
    SpinFps->setToolTip(tr("Частота кадров показа; она же в окне «Лазер»"));
    CheckBoxOptimise = new QCheckBox(tr("Улучшать кадры из файлов"), this);
    CheckBoxOptimise->setObjectName(QStringLiteral("CheckBoxOptimise"));
    CheckBoxOptimise->setToolTip(
        tr("Задержки на углах и тёмные прыжки и в кадрах из файлов, а не точка в "
           "точку, как их сделал автор"));
    // A line of its own, shown only while the show plays.
    LabelShow = new QLabel(this);
    LabelShow->setObjectName(QStringLiteral("LabelShow"));
    LabelShow->hide();
    view_ = new ScanView(this);

    auto* controls = new QHBoxLayout;
    auto* rateLabel = new QLabel(tr("Скорость сканирования:"), this);
    controls->addWidget(rateLabel);
    controls->addWidget(ComboBoxScanRate);
    controls->addSpacing(12);
    controls->addWidget(CheckBoxScanner);
    controls->addStretch();
    auto* showControls = new QHBoxLayout;
    showControls->addWidget(ButtonPlay);
    showControls->addSpacing(12);
    showControls->addWidget(new QLabel(tr("Показ, кадров/с:"), this));
    showControls->addWidget(SpinFps);
    showControls->addSpacing(12);
    showControls->addWidget(CheckBoxOptimise);
    showControls->addStretch();
    auto* readouts = new QHBoxLayout;
    for (QLabel* l : {LabelPoints, LabelFps, LabelFrameTime}) {
        readouts->addWidget(l);
        readouts->addSpacing(12);
    }
    readouts->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(controls);
    layout->addLayout(showControls);
    layout->addLayout(readouts);
    layout->addWidget(LabelShow);
    layout->addWidget(view_, 1);
    // The show's row is added to the height the window had without it, so that the picture
    // keeps its size.
    resize(440, 500 + showControls->sizeHint().height() + layout->spacing());

    connect(ComboBoxScanRate, &QComboBox::currentIndexChanged, this, [this] {
        model::stage::Settings stage = editor_.document().output().get();
        stage.pointRate = ComboBoxScanRate->currentData().toInt();
        // Announced to both windows, this one among them.
        editor_.document().output().set(stage);
    });
    connect(SpinFps, &QSpinBox::valueChanged, this, [this](int fps) {
        model::stage::Settings stage = editor_.document().output().get();
        stage.framesPerSecond = fps;
        editor_.document().output().set(stage);
    });
    connect(CheckBoxOptimise, &QCheckBox::toggled, this, [this](bool on) {
        model::stage::Settings stage = editor_.document().output().get();
        stage.optimiseFiles = on;
        editor_.document().output().set(stage);
    });
    connect(ButtonPlay, &QPushButton::toggled, this, [this] {
        clock_.start();
        Refresh();
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
        ComboBoxScanRate->insertItem(at, tr("%1 точек/с").arg(rate), rate);
    }
    ComboBoxScanRate->setCurrentIndex(at);
}

bool TPreviewForm::PlaysShow() const {
    return ButtonPlay->isChecked() && editor_.document().show().count() > 1;
}

bool TPreviewForm::Refresh() {
    const model::stage::Settings stage = model::stage::Clamped(editor_.document().output().get());
    if (ComboBoxScanRate->currentData().toInt() != stage.pointRate) {
        ShowRate(stage.pointRate);
    }
    {
        // Showing the settings changes none of them.
        const QSignalBlocker quietFps(SpinFps);
        const QSignalBlocker quietOptimise(CheckBoxOptimise);
        SpinFps->setValue(stage.framesPerSecond);
        CheckBoxOptimise->setChecked(stage.optimiseFiles);
    }
    if (PlaysShow()) {
        return RefreshShow(stage);
    }
    if (playing_) {
        // Back to the frame edited: drawn afresh.
        playing_ = false;
        show_ = {};
        frames_.clear();
        count_ = -1;
        LabelShow->clear();
        LabelShow->hide();
    }
    const model::Contour& c = editor_.contour();
    const int n = preview::LivePointCount(c);
    // Points without a colour of their own go out, and are drawn, in the output's colour.
    const QRgb color = stage.defaultColour | 0xFF000000u;
    // Rendered at the screen's own pixels, so the beam stays one pixel wide on a dense screen.
    const qreal dpr = view_->devicePixelRatioF();
    const int size = int(view_->side() * dpr);
    const bool scanner = scannerModel();
    // At most 4100 slots (16 KB): cheap enough to compare on every tick.
    const std::size_t slots = std::size_t(2 * n);
    // A frame from a file is held as its author made it, unless the settings optimise it.
    const editor::Show& show = editor_.document().show();
    const bool asMade = show.fromFile(show.current()) && !stage.optimiseFiles;
    const bool same =
        n == count_ && color == color_ && size == size_ && Held(stage) == stage_ &&
        asMade == asMade_ && scanner == scanner_ &&
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
    stage_ = Held(stage);
    asMade_ = asMade;
    rate_ = stage.pointRate;
    scanner_ = scanner;
    // What the Лазер window sends, point for point.
    stream_ = preview::StreamOf(c, color & 0xFFFFFFu, stage, asMade);
    Render(n);
    return true;
}

bool TPreviewForm::RefreshShow(const model::stage::Settings& stage) {
    const editor::Show& show = editor_.document().show();
    std::vector<model::Frame> frames = show.frames();
    std::vector<bool> fromFile;
    for (int i = 0; i < show.count(); ++i) {
        fromFile.push_back(show.fromFile(i));
    }
    const int size = int(view_->side() * view_->devicePixelRatioF());
    if (playing_ && frames == frames_ && fromFile == fromFile_ && stage == showStage_ &&
        size == size_ && scannerModel() == scanner_) {
        return false;
    }
    if (!playing_) {
        clock_.start();
    }
    playing_ = true;
    // The frame held is drawn afresh when the show stops.
    count_ = -1;
    frames_ = std::move(frames);
    fromFile_ = std::move(fromFile);
    showStage_ = stage;
    size_ = size;
    scanner_ = scannerModel();
    rate_ = stage.pointRate;
    color_ = stage.defaultColour | 0xFF000000u;
    stage_ = Held(stage);
    show_ = model::stage::BuildShow(frames_, fromFile_, stage);
    starts_.clear();
    size_t start = 0;
    for (const model::stage::FrameTime& t : show_.frames) {
        starts_.push_back(start);
        start += t.Length();
    }
    const bool slow = show_.slow;
    LabelShow->setText(ShowPace(show_, stage.framesPerSecond));
    QPalette pal = palette();
    if (slow) {
        pal.setColor(QPalette::WindowText, QColor::fromRgb(kFlickerWarning));
    }
    LabelShow->setPalette(pal);
    LabelShow->show();
    RenderShowFrame(FrameNow());
    return true;
}

int TPreviewForm::FrameNow() const {
    const size_t length = show_.Length();
    if (starts_.empty() || length == 0) {
        return 0;
    }
    const size_t at = size_t(clock_.elapsed() * rate_ / 1000) % length;
    return int(std::upper_bound(starts_.begin(), starts_.end(), at) - starts_.begin()) - 1;
}

void TPreviewForm::RenderShowFrame(int frame) {
    shownFrame_ = frame;
    const model::stage::FrameTime& t = show_.frames[size_t(frame)];
    // The drawing as it comes round again; a frame drawn once, with its way on.
    stream_ = t.drawings > 1 ? t.again : model::stage::Samples(t);
    Render(int(frames_[size_t(frame)].points.size()));
}

void TPreviewForm::Render(int points) {
    const qreal dpr = view_->devicePixelRatioF();
    points_ = preview::FromStream(stream_, color_ & 0xFFFFFFu, stage_.brightnessPercent);
    preview::RenderOptions o;
    o.size = size_;
    o.rate = rate_;
    o.scanner = scanner_;
    o.color = color_;
    o.light = float(stage_.brightnessPercent) / 100.0f;
    picture_ = renderer_.Render(points_, o);
    picture_.setDevicePixelRatio(dpr);
    ++renders_;
    view_->setPicture(picture_);
    ShowReadouts(points);
    view_->update();
}

void TPreviewForm::ShowReadouts(int points) {
    const int rate = rate_;
    // An empty contour sends one dark point over and over: no frames to speak of.
    const int frame = points > 0 ? int(stream_.size()) : 0;
    LabelPoints->setText(tr("Точек: %1, в кадре: %2").arg(points).arg(stream_.size()));
    LabelFps->setText(tr("Кадров в секунду: %1").arg(FramesPerSecond(rate, frame), 0, 'f', 1));
    LabelFrameTime->setText(tr("Время кадра: %1 мс").arg(FrameTimeMs(rate, frame), 0, 'f', 1));
    const bool flickers = preview::Flickers(rate, frame);
    QPalette pal = palette();
    if (flickers) {
        pal.setColor(QPalette::WindowText, QColor::fromRgb(kFlickerWarning));
    }
    LabelFps->setPalette(pal);
    LabelFps->setToolTip(flickers ? tr("Меньше 20 кадров в секунду: видно мерцание") : QString());
}

void TPreviewForm::frameTimerTimer() {
    qint64 slot = clock_.elapsed() * rate_ / 1000;
    if (playing_) {
        // The frame whose time it is, and the beam's place in its drawing.
        const int frame = FrameNow();
        if (frame != shownFrame_) {
            RenderShowFrame(frame);
        }
        slot = qint64(size_t(slot) % show_.Length() - starts_[size_t(frame)]);
    }
    // The beam's place in the frame now: the point whose slot is running.
    const auto& beam = renderer_.beamPositions();
    if (beam.empty()) {
        view_->setBeam(false, {});
    } else {
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
