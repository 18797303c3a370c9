#include "window/laser_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "forms/preview_window.h"

namespace window {

namespace {

// How long a search listens.
constexpr int kSearchMs = 2500;

}  // namespace

// 1. The device: found by the search, or typed.
QGroupBox* LaserWindow::buildDevice() {
    auto* device = new QGroupBox(tr("Устройство"), this);
    auto* deviceLayout = new QVBoxLayout(device);
    devices_ = new QListWidget(device);
    devices_->setObjectName(QStringLiteral("LaserDevices"));
    devices_->setMaximumHeight(90);
    find_ = new QPushButton(tr("Найти в сети"), device);
    find_->setObjectName(QStringLiteral("LaserFind"));
    find_->setToolTip(tr("Разослать запрос IDN и послушать Ether Dream"));
    address_ = new QLineEdit(device);
    address_->setObjectName(QStringLiteral("LaserAddress"));
    address_->setPlaceholderText(tr("idn:адрес[:порт] или etherdream:адрес"));
    deviceLayout->addWidget(devices_);
    deviceLayout->addWidget(find_);
    deviceLayout->addWidget(address_);
    connect(find_, &QPushButton::clicked, this, &LaserWindow::Find);
    // Enter after typing an address starts, as the button does.
    connect(address_, &QLineEdit::returnPressed, this, &LaserWindow::Start);
    connect(devices_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item != nullptr) {
            address_->setText(item->data(Qt::UserRole).toString());
        }
    });
    return device;
}

LaserWindow::LaserWindow(editor::Editor& editor, std::function<void(const QString&)> say,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), editor_(editor), say_(std::move(say)) {
    setObjectName(QStringLiteral("LaserWindow"));
    setWindowTitle(tr("Лазер"));
    // Closing it only hides it (and stops the output); the program ends with the main window.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(buildDevice());

    // 2. The output stage.
    auto* stage = new QGroupBox(tr("Вывод"), this);
    auto* form = new QFormLayout(stage);
    const model::stage::Settings d;
    rate_ = addSpin("LaserRate", model::stage::kMinPointRate, model::stage::kMaxPointRate,
                    d.pointRate, tr(" точек/с"));
    rate_->setSingleStep(1000);
    cornerAngle_ = addSpin("LaserCornerAngle", 1, 180, d.cornerAngle, QStringLiteral("°"));
    cornerDwell_ = addSpin("LaserCornerDwell", 0, 50, d.cornerDwell);
    dwellBefore_ = addSpin("LaserDwellBefore", 0, 50, d.jumpDwellBefore);
    dwellAfter_ = addSpin("LaserDwellAfter", 0, 50, d.jumpDwellAfter);
    jumpStep_ = addSpin("LaserJumpStep", 100, 2 * model::stage::kDacMax, d.jumpStep);
    jumpStep_->setSingleStep(500);
    shift_ = addSpin("LaserShift", 0, 50, d.blankingShift);
    size_ = addSpin("LaserZoneSize", 1, 100, d.zone.sizePercent, QStringLiteral(" %"));
    offsetX_ = addSpin("LaserOffsetX", -100, 100, 0, QStringLiteral(" %"));
    offsetY_ = addSpin("LaserOffsetY", -100, 100, 0, QStringLiteral(" %"));
    flipX_ = new QCheckBox(tr("по X"), stage);
    flipX_->setObjectName(QStringLiteral("LaserFlipX"));
    flipY_ = new QCheckBox(tr("по Y"), stage);
    flipY_->setObjectName(QStringLiteral("LaserFlipY"));
    auto* flips = new QHBoxLayout;
    flips->addWidget(flipX_);
    flips->addWidget(flipY_);
    turns_ = new QComboBox(stage);
    turns_->setObjectName(QStringLiteral("LaserTurns"));
    turns_->addItems({QStringLiteral("0°"), QStringLiteral("90°"), QStringLiteral("180°"),
                      QStringLiteral("270°")});
    brightness_ = addSpin("LaserBrightness", 0, 100, d.brightnessPercent, QStringLiteral(" %"));
    // The colour of the points without one of their own, chosen in Qt's colour dialog.
    defaultColour_ = new QPushButton(stage);
    defaultColour_->setObjectName(QStringLiteral("LaserDefaultColour"));
    defaultColour_->setToolTip(tr("Цвет луча для точек без своего цвета"));
    defaultColour_->setAutoDefault(false);
    connect(defaultColour_, &QPushButton::clicked, this, &LaserWindow::ChooseDefaultColour);
    fps_ = addSpin("LaserFps", model::stage::kMinFramesPerSecond, model::stage::kMaxFramesPerSecond,
                   d.framesPerSecond);
    fps_->setToolTip(tr("Частота кадров показа; она же в просмотре лазера"));
    optimise_ = new QCheckBox(tr("Улучшать кадры из файлов"), stage);
    optimise_->setObjectName(QStringLiteral("LaserOptimise"));
    optimise_->setToolTip(
        tr("Задержки на углах и тёмные прыжки и в кадрах из файлов, а не точка в "
           "точку, как их сделал автор"));
    connect(optimise_, &QCheckBox::toggled, this, &LaserWindow::Keep);
    // Every change goes to the editor's settings at once, where the preview reads them.
    connect(flipX_, &QCheckBox::toggled, this, &LaserWindow::Keep);
    connect(flipY_, &QCheckBox::toggled, this, &LaserWindow::Keep);
    connect(turns_, &QComboBox::currentIndexChanged, this, &LaserWindow::Keep);
    form->addRow(tr("Скорость:"), rate_);
    form->addRow(tr("Угол, с которого задержка:"), cornerAngle_);
    form->addRow(tr("Точек на углу:"), cornerDwell_);
    form->addRow(tr("Тёмных точек до прыжка:"), dwellBefore_);
    form->addRow(tr("Тёмных точек после прыжка:"), dwellAfter_);
    form->addRow(tr("Шаг прыжка:"), jumpStep_);
    form->addRow(tr("Сдвиг гашения, точек:"), shift_);
    form->addRow(tr("Размер зоны:"), size_);
    form->addRow(tr("Сдвиг зоны по X:"), offsetX_);
    form->addRow(tr("Сдвиг зоны по Y:"), offsetY_);
    form->addRow(tr("Отразить:"), flips);
    form->addRow(tr("Повернуть:"), turns_);
    form->addRow(tr("Яркость не больше:"), brightness_);
    form->addRow(tr("Цвет по умолчанию:"), defaultColour_);
    form->addRow(tr("Показ, кадров/с:"), fps_);
    form->addRow(QString(), optimise_);
    layout->addWidget(stage);

    // The show played, or the frame edited held; how the show keeps its pace.
    play_ = new QPushButton(tr("Показ"), this);
    play_->setObjectName(QStringLiteral("LaserPlay"));
    play_->setCheckable(true);
    play_->setAutoDefault(false);
    play_->setToolTip(tr("Играть все кадры с частотой кадров"));
    pace_ = new QLabel(this);
    pace_->setObjectName(QStringLiteral("LaserPace"));
    auto* show = new QHBoxLayout;
    show->addWidget(play_);
    show->addWidget(pace_, 1);
    layout->addLayout(show);
    connect(play_, &QPushButton::toggled, this, &LaserWindow::Follow);

    // 3. What the output is doing, in room for three lines so that nothing moves when it
    // wraps, and the button, large, at the window's foot.
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("LaserState"));
    state_->setWordWrap(true);
    state_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    state_->setFixedHeight(3 * state_->fontMetrics().lineSpacing());
    layout->addWidget(state_);
    start_ = new QPushButton(this);
    start_->setObjectName(QStringLiteral("LaserStart"));
    start_->setMinimumHeight(56);
    // Half as large again as the window's text, whether its size is set in points or pixels.
    QFont big = start_->font();
    if (big.pointSizeF() > 0) {
        big.setPointSizeF(big.pointSizeF() * 1.6);
    } else {
        big.setPixelSize(big.pixelSize() * 8 / 5);
    }
    big.setBold(true);
    start_->setFont(big);
    layout->addWidget(start_);
    connect(start_, &QPushButton::clicked, this, [this] {
        if (Running()) {
            StopOutput();
        } else {
            Start();
        }
    });

    // Each change of the document: the settings shown, and while the output runs, the frame.
    connect(&editor_.document(), &editor::Document::Changed, this,
            [this](quint64, editor::Document::Parts parts) {
                if (parts & editor::Document::OutputPart) {
                    ShowSettings(editor_.document().output().get());
                }
                Follow();
            });
    ShowSettings(editor_.document().output().get());
    ShowState();
}

LaserWindow::~LaserWindow() {
    // The links' destructors blank the beam and wait for it.
    link_.reset();
    stopping_.clear();
}

QSpinBox* LaserWindow::addSpin(const char* name, int min, int max, int value,
                               const QString& suffix) {
    auto* s = new QSpinBox(this);
    s->setObjectName(QString::fromUtf8(name));
    s->setRange(min, max);
    s->setValue(value);
    s->setSuffix(suffix);
    // A typed value counts once it is complete (Enter, or the field left): typing 50 does not
    // send 5 % first. The arrows and the wheel count at each step.
    s->setKeyboardTracking(false);
    connect(s, &QSpinBox::valueChanged, this, &LaserWindow::Keep);
    return s;
}

void LaserWindow::Keep() {
    if (!showing_) {
        editor_.document().output().set(StageSettings());
    }
}

void LaserWindow::ShowSettings(const model::stage::Settings& settings) {
    const model::stage::Settings s = model::stage::Clamped(settings);
    showing_ = true;
    rate_->setValue(s.pointRate);
    cornerAngle_->setValue(s.cornerAngle);
    cornerDwell_->setValue(s.cornerDwell);
    dwellBefore_->setValue(s.jumpDwellBefore);
    dwellAfter_->setValue(s.jumpDwellAfter);
    jumpStep_->setValue(s.jumpStep);
    shift_->setValue(s.blankingShift);
    size_->setValue(s.zone.sizePercent);
    offsetX_->setValue(s.zone.offsetX);
    offsetY_->setValue(s.zone.offsetY);
    flipX_->setChecked(s.zone.flipX);
    flipY_->setChecked(s.zone.flipY);
    turns_->setCurrentIndex(s.zone.quarterTurns);
    brightness_->setValue(s.brightnessPercent);
    ShowDefaultColour(s.defaultColour);
    fps_->setValue(s.framesPerSecond);
    optimise_->setChecked(s.optimiseFiles);
    showing_ = false;
}

void LaserWindow::setDiscoveryPlaces(const output::DiscoveryPlaces& places) {
    places_ = places;
    discovery_.reset();
}

model::stage::Settings LaserWindow::StageSettings() const {
    model::stage::Settings s;
    s.pointRate = rate_->value();
    s.cornerAngle = cornerAngle_->value();
    s.cornerDwell = cornerDwell_->value();
    s.jumpDwellBefore = dwellBefore_->value();
    s.jumpDwellAfter = dwellAfter_->value();
    s.jumpStep = jumpStep_->value();
    s.blankingShift = shift_->value();
    s.zone = {size_->value(),      offsetX_->value(),   offsetY_->value(),
              flipX_->isChecked(), flipY_->isChecked(), turns_->currentIndex()};
    s.brightnessPercent = brightness_->value();
    s.defaultColour = defaultColour_->property("rgb").toUInt();
    s.framesPerSecond = fps_->value();
    s.optimiseFiles = optimise_->isChecked();
    return s;
}

void LaserWindow::ShowDefaultColour(uint32_t rgb) {
    QPixmap swatch(28, 12);
    swatch.fill(QColor::fromRgb(rgb));
    defaultColour_->setIcon(QIcon(swatch));
    defaultColour_->setText(QColor::fromRgb(rgb).name().toUpper());
    defaultColour_->setProperty("rgb", rgb);
}

void LaserWindow::ChooseDefaultColour() {
    // Qt's own dialog, modal to this window only, answered through its signal: F12 and the
    // main window stay at hand while it is open.
    auto* dialog = new QColorDialog(QColor::fromRgb(StageSettings().defaultColour), this);
    dialog->setObjectName(QStringLiteral("LaserDefaultColourDialog"));
    dialog->setWindowTitle(tr("Цвет по умолчанию"));
    dialog->setOption(QColorDialog::DontUseNativeDialog, true);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, [this](const QColor& colour) {
        ShowDefaultColour(colour.rgb() & 0xFFFFFFu);
        Keep();
    });
    dialog->open();
}

void LaserWindow::Find() {
    if (!discovery_) {
        discovery_ = std::make_unique<output::Discovery>(places_);
        connect(discovery_.get(), &output::Discovery::Found, this,
                [this](const QString& target, const QString& name) {
                    for (int i = 0; i < devices_->count(); ++i) {
                        if (devices_->item(i)->data(Qt::UserRole).toString() == target) {
                            return;
                        }
                    }
                    auto* item = new QListWidgetItem(name + QStringLiteral(" — ") + target);
                    item->setData(Qt::UserRole, target);
                    devices_->addItem(item);
                });
        connect(discovery_.get(), &output::Discovery::Done, this, [this] {
            find_->setEnabled(true);
            state_->setText(devices_->count() == 0
                                ? tr("Устройств не найдено")
                                : tr("Найдено устройств: %1").arg(devices_->count()));
        });
    }
    devices_->clear();
    find_->setEnabled(false);
    state_->setText(tr("Поиск…"));
    discovery_->Scan(kSearchMs);
}

void LaserWindow::Start() {
    if (Running()) {
        return;
    }
    const auto target = output::ParseTarget(address_->text().trimmed());
    if (!target) {
        state_->setText(
            tr("Выберите устройство или введите адрес, например "
               "idn:192.168.1.20 или etherdream:192.168.1.21"));
        return;
    }
    link_ = std::make_unique<output::Link>(*target);
    connect(link_.get(), &output::Link::Status, this, [this](const QString& text) {
        state_->setText(text);
        say_(text);
    });
    // A device that cannot be played to: the output stops, and the state keeps the cause the
    // link has just said.
    connect(link_.get(), &output::Link::Failed, this, &LaserWindow::StopOutput);
    sent_ = Sent::Nothing;
    Follow();
    ShowState();
    Q_EMIT Started();
    Q_EMIT RunningChanged(true);
}

QString LaserWindow::address() const {
    return address_->text().trimmed();
}

void LaserWindow::setAddress(const QString& address) {
    address_->setText(address);
}

void LaserWindow::StopOutput() {
    if (!Running()) {
        return;
    }
    output::Link* link = link_.get();
    link->Stop();
    connect(link, &output::Link::Stopped, this, [this, link] {
        // Not inside the link's own signal: a moment later.
        QTimer::singleShot(0, this, [this, link] {
            std::erase_if(stopping_, [link](const auto& l) { return l.get() == link; });
        });
    });
    stopping_.push_back(std::move(link_));
    ShowState();
    Q_EMIT RunningChanged(false);
}

bool LaserWindow::PlaysShow() const {
    return play_->isChecked() && editor_.document().show().count() > 1;
}

bool LaserWindow::BuildShowStream() {
    const editor::Show& show = editor_.document().show();
    std::vector<model::Frame> frames = show.frames();
    std::vector<bool> fromFile;
    for (int i = 0; i < show.count(); ++i) {
        fromFile.push_back(show.fromFile(i));
    }
    const model::stage::Settings settings = editor_.document().output().get();
    if (show_ && frames == frames_ && fromFile == fromFile_ && settings == showSettings_) {
        return false;
    }
    frames_ = std::move(frames);
    fromFile_ = std::move(fromFile);
    showSettings_ = settings;
    show_ = model::stage::BuildShow(frames_, fromFile_, settings);
    pace_->setText(forms::ShowPace(*show_, model::stage::Clamped(settings).framesPerSecond));
    QPalette pal = palette();
    if (show_->slow) {
        pal.setColor(QPalette::WindowText, QColor::fromRgb(forms::kFlickerWarning));
    }
    pace_->setPalette(pal);
    return true;
}

void LaserWindow::Follow() {
    if (PlaysShow()) {
        const bool newer = BuildShowStream();
        if (Running() && (newer || sent_ != Sent::Show)) {
            std::vector<output::Frame> frames =
                output::ShowFrames(*show_, editor_.document().output().get());
            // A show already playing goes on from its frame; one just begun starts at the first.
            if (sent_ == Sent::Show) {
                link_->Continue(std::move(frames));
            } else {
                link_->Play(std::move(frames));
            }
            sent_ = Sent::Show;
        }
        return;
    }
    if (show_) {
        show_.reset();
        frames_.clear();
        pace_->clear();
    }
    if (!Running()) {
        return;
    }
    const model::Contour& c = editor_.contour();
    std::vector<model::ContourPoint> points = c.Points();
    std::vector<model::PointStyle> styles = c.PointStyles();
    // The frame rate makes no difference to the frame held; a frame from a file is held as its
    // author made it, unless the settings optimise it.
    model::stage::Settings settings = editor_.document().output().get();
    const editor::Show& show = editor_.document().show();
    const bool asMade = show.fromFile(show.current()) && !settings.optimiseFiles;
    settings.framesPerSecond = model::stage::Settings{}.framesPerSecond;
    settings.optimiseFiles = false;
    const uint32_t colour = model::stage::Clamped(settings).defaultColour;
    if (sent_ == Sent::Frame && points == points_ && styles == styles_ && colour == colour_ &&
        settings == settings_ && asMade == asMade_) {
        return;
    }
    points_ = std::move(points);
    styles_ = std::move(styles);
    colour_ = colour;
    settings_ = settings;
    asMade_ = asMade;
    sent_ = Sent::Frame;
    const model::stage::Settings clamped = model::stage::Clamped(settings);
    link_->Show({model::stage::Held({points_, styles_, {}}, asMade_, clamped), clamped.pointRate, 1,
                 0, clamped.jumpStep});
}

void LaserWindow::ShowState() {
    start_->setText(Running() ? tr("Стоп (F12)") : tr("Пуск"));
    start_->setToolTip(Running() ? tr("Погасить луч и остановить вывод (F12 — из "
                                      "любого окна)")
                                 : tr("Начать вывод на выбранное устройство"));
    if (!Running() && state_->text().isEmpty()) {
        state_->setText(tr("Вывод остановлен"));
    }
}

void LaserWindow::closeEvent(QCloseEvent* event) {
    StopOutput();
    discovery_.reset();
    event->accept();
}

}  // namespace window
