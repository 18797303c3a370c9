#include "window/recovery.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>
#include <algorithm>

#include "model/contour_file.h"
#include "window/file_commands.h"

namespace window {

namespace {

QByteArray AsBytes(const model::ContourFileImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

constexpr int kStyleBytes = 4;

}  // namespace

QByteArray EncodeStyles(const std::vector<model::PointStyle>& styles) {
    if (std::all_of(styles.begin(), styles.end(),
                    [](const model::PointStyle& s) { return s.IsDefault(); })) {
        return {};
    }
    QByteArray bytes(qsizetype(styles.size()) * kStyleBytes, Qt::Uninitialized);
    char* at = bytes.data();
    for (const model::PointStyle& s : styles) {
        *at++ = char((s.rgb >> 16) & 0xFF);
        *at++ = char((s.rgb >> 8) & 0xFF);
        *at++ = char(s.rgb & 0xFF);
        *at++ = char((s.coloured ? 1 : 0) | (s.blanked ? 2 : 0));
    }
    return bytes;
}

namespace {

// Every point, 32-bit little-endian x then y.
QByteArray PointBytes(const std::vector<model::ContourPoint>& points) {
    // Written into place: appended a byte at a time, a long show's copy held the window up.
    QByteArray bytes(qsizetype(points.size()) * 8, Qt::Uninitialized);
    char* at = bytes.data();
    for (const model::ContourPoint& p : points) {
        qToLittleEndian(p.x, at);
        qToLittleEndian(p.y, at + 4);
        at += 8;
    }
    return bytes;
}

}  // namespace

QByteArray EncodeExactPoints(const std::vector<model::ContourPoint>& points) {
    const bool rounded = std::any_of(points.begin(), points.end(), [](model::ContourPoint p) {
        return model::DecodeCoordinateWord(model::EncodeCoordinateWord(p.x)) != p.x ||
               model::DecodeCoordinateWord(model::EncodeCoordinateWord(p.y)) != p.y;
    });
    return rounded ? PointBytes(points) : QByteArray();
}

std::vector<model::ContourPoint> DecodeExactPoints(const QByteArray& bytes) {
    std::vector<model::ContourPoint> points;
    const qsizetype n = std::min<qsizetype>(bytes.size() / 8, model::kSlotCount / 2);
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.constData());
    const auto word = [b](qsizetype at) {
        return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                       uint32_t(b[at + 3]) << 24);
    };
    for (qsizetype i = 0; i < n; ++i) {
        points.push_back({word(8 * i), word(8 * i + 4)});
    }
    return points;
}

std::vector<model::PointStyle> DecodeStyles(const QByteArray& bytes) {
    std::vector<model::PointStyle> styles;
    const qsizetype n = std::min<qsizetype>(bytes.size() / kStyleBytes, model::kStylePoints);
    styles.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        const auto* b = reinterpret_cast<const uint8_t*>(bytes.constData()) + i * kStyleBytes;
        model::PointStyle s;
        s.rgb = uint32_t(b[0]) << 16 | uint32_t(b[1]) << 8 | uint32_t(b[2]);
        s.coloured = (b[3] & 1) != 0;
        s.blanked = (b[3] & 2) != 0;
        styles.push_back(s);
    }
    return styles;
}

namespace {

QByteArray StringBytes(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

}  // namespace

QByteArray EncodeFrames(const std::vector<model::Frame>& frames, int current) {
    if (frames.size() <= 1) {
        return {};
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << qint32(current) << quint32(frames.size());
    for (const model::Frame& f : frames) {
        out << StringBytes(f.name) << PointBytes(f.points) << EncodeStyles(f.styles);
    }
    return bytes;
}

std::optional<KeptFrames> DecodeFrames(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    qint32 current = 0;
    quint32 count = 0;
    in >> current >> count;
    if (in.status() != QDataStream::Ok || count < 2 || count > quint32(model::kMaxShowFrames) ||
        current < 0 || quint32(current) >= count) {
        return std::nullopt;
    }
    KeptFrames kept;
    kept.current = current;
    kept.frames.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QByteArray name;
        QByteArray points;
        QByteArray styles;
        in >> name >> points >> styles;
        if (in.status() != QDataStream::Ok || points.size() % 8 != 0 ||
            points.size() / 8 > model::kStylePoints) {
            return std::nullopt;
        }
        model::Frame f;
        f.name = name.toStdString();
        f.points = DecodeExactPoints(points);
        f.styles = DecodeStyles(styles);
        f.styles.resize(std::min(f.styles.size(), f.points.size()));
        kept.frames.push_back(std::move(f));
    }
    if (!in.atEnd()) {
        return std::nullopt;
    }
    return kept;
}

QString DefaultRecoveryFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

RecoveryKeeper::RecoveryKeeper(FileCommands& files, RecoveryWindow& window,
                               std::unique_ptr<io::RecoveryStore> store, int intervalMs)
    : files_(files), window_(window), store_(std::move(store)) {
    // The first change of the contour, or of whether it is saved, arms one write an interval
    // later; the changes until then go with it.
    timer_.setSingleShot(true);
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(Wait::No); });
    writer_.setMaxThreadCount(1);
    connect(&write_, &QFutureWatcher<bool>::finished, this, &RecoveryKeeper::WriteEnded);
    connect(&files_.editor().document(), &editor::Document::Changed, this,
            [this](quint64, editor::Document::Parts parts) {
                if (started_ && !timer_.isActive() &&
                    (parts & (editor::Document::ContourPart | editor::Document::FilePart))) {
                    timer_.start();
                }
            });
}

void RecoveryKeeper::Start() {
    if (!store_->open()) {
        ReportUnwritable();
    }
    OfferOrphans();
    started_ = true;
    // What changed before the start (a file named on the command line opens after it).
    Tick();
}

bool RecoveryKeeper::OfferOrphans() {
    Dialogs& dialogs = window_.dialogs();
    for (const io::RecoveryOrphan& orphan : store_->orphans(qsizetype(model::kContourFileSize))) {
        // A copy that is not one whole copy, or whose show is not one, is reported and set
        // aside.
        std::optional<KeptFrames> frames;
        if (orphan.record && !orphan.record->frames.isEmpty()) {
            frames = DecodeFrames(orphan.record->frames);
        }
        if (!orphan.record || (!orphan.record->frames.isEmpty() && !frames)) {
            MessageSpec damaged;
            damaged.type = MessageType::Error;
            damaged.text = tr("Файл восстановления повреждён и отложен: %1")
                               .arg(QDir::toNativeSeparators(orphan.path));
            dialogs.message(damaged);
            io::RecoveryStore::setAside(orphan.path);
            continue;
        }
        const io::RecoveryRecord& r = *orphan.record;
        const QString name =
            r.fileName.isEmpty() ? tr("без имени") : QFileInfo(r.fileName).fileName();
        MessageSpec question;
        question.type = MessageType::Confirmation;
        question.text = tr("Найден несохранённый контур (%1, %2). Восстановить?")
                            .arg(name, r.written.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
        question.buttons = {MessageButton::Yes, MessageButton::No};
        question.defaultButton = MessageButton::Yes;
        question.escapeButton = MessageButton::No;
        if (dialogs.message(question) != MessageButton::Yes) {
            io::RecoveryStore::discard(orphan.path);
            continue;
        }
        const std::optional<size_t> frame =
            r.frame >= 0 ? std::optional<size_t>(size_t(r.frame)) : std::nullopt;
        if (files_.Restore(r.contour, r.fileName, r.captionFile, DecodeStyles(r.styles), frame,
                           DecodeExactPoints(r.points),
                           frames ? std::move(frames->frames) : std::vector<model::Frame>{},
                           frames ? frames->current : 0)) {
            files_.editor().document().Settle();
            // The work is this editor's now: its own copy replaces the orphan, which stays
            // only if that copy could not be written.
            Tick();
            const bool kept = store_->hasCopy() || !files_.HasUnsavedChanges();
            if (kept || !store_->isOpen()) {
                io::RecoveryStore::discard(orphan.path);
            }
            return true;
        }
    }
    return false;
}

RecoveryKeeper::~RecoveryKeeper() {
    write_.waitForFinished();
}

void RecoveryKeeper::AwaitWrite() {
    write_.waitForFinished();
    WriteEnded();
}

void RecoveryKeeper::WriteEnded() {
    if (!writing_ || !write_.isFinished()) {
        return;  // taken already, or a signal of a write before this one
    }
    if (write_.future().result()) {
        written_ = std::move(writing_);
    } else {
        ReportUnwritable();
    }
    writing_.reset();
}

void RecoveryKeeper::Tick(Wait wait) {
    if (finished_) {
        return;
    }
    if (write_.isRunning() && wait == Wait::No) {
        timer_.start();
        return;
    }
    AwaitWrite();
    FileCommands& files = files_;
    if (!files.HasUnsavedChanges()) {
        store_->remove();
        written_.reset();
        return;
    }
    const editor::Show& show = files.editor().document().show();
    Work current{files.CurrentImage(), files.CurrentStyles(),
                 EncodeExactPoints(files.CurrentPoints()),
                 show.count() > 1 ? EncodeFrames(show.frames(), show.current()) : QByteArray()};
    if (written_ && *written_ == current) {
        return;
    }
    if (!store_->isOpen() && !store_->open()) {
        ReportUnwritable();
        return;
    }
    io::RecoveryRecord record;
    record.captionFile = window_.captionFile();
    if (record.captionFile != QStringLiteral("[no name]")) {
        record.fileName = files.SaveDialogLaser.fileName;
        if (const std::optional<size_t> frame = files.ShowFrame(record.fileName)) {
            record.frame = qint32(*frame);
        }
    }
    record.written = QDateTime::currentDateTime();
    record.contour = AsBytes(current.image);
    record.styles = EncodeStyles(current.styles);
    record.points = current.points;
    record.frames = current.frames;
    writing_ = std::move(current);
    write_.setFuture(QtConcurrent::run(
        &writer_,
        [store = store_.get(), record = std::move(record)] { return store->write(record); }));
    if (wait == Wait::Yes) {
        AwaitWrite();
    }
}

void RecoveryKeeper::Finish() {
    AwaitWrite();
    finished_ = true;
    timer_.stop();
    store_->remove();
}

void RecoveryKeeper::ReportUnwritable() {
    // Once, and quietly: editing goes on without a copy.
    if (reported_) {
        return;
    }
    reported_ = true;
    window_.showNotice(tr("Копия не пишется"),
                       tr("Копия для восстановления не записывается: %1").arg(store_->error()));
}

}  // namespace window
