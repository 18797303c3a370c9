#include "convert/play.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cmath>
#include <csignal>

#include "convert/command_line.h"
#include "formats/contour_files.h"
#include "model/ilda.h"
#include "output/link.h"

namespace convert {

namespace {

// Ctrl+C reaches the event loop through a pipe, so that the beam is blanked from there.
int interruptPipe[2] = {-1, -1};

void OnInterrupt(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(interruptPipe[1], &byte, 1);
}

}  // namespace

std::optional<model::stage::Zone> ParseZone(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 1 && parts.size() != 3) {
        return std::nullopt;
    }
    int values[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) {
            return std::nullopt;
        }
    }
    if (values[0] < 1 || values[0] > 100 || std::abs(values[1]) > 100 ||
        std::abs(values[2]) > 100) {
        return std::nullopt;
    }
    model::stage::Zone zone;
    zone.sizePercent = values[0];
    zone.offsetX = values[1];
    zone.offsetY = values[2];
    return zone;
}

namespace {

// The show's frames in time, each as its author made it unless --optimise; a note when the
// file ends before its end-of-file header, and when the frames cannot be shown at the rate.
std::vector<output::Frame> Frames(const PlayOptions& options, const formats::IldaShow& show,
                                  QTextStream& err) {
    model::stage::Settings settings;
    settings.pointRate = options.pointRate;
    settings.zone = options.zone;
    settings.framesPerSecond = options.framesPerSecond;
    settings.optimiseFiles = options.optimise;
    settings = model::stage::Clamped(settings);
    std::vector<model::Frame> frames;
    for (const model::ilda::FrameInfo& info : show.list.frames) {
        model::ilda::Import frame = model::ilda::DecodeFrame(show.bytes(), info);
        if (frame.error == model::ilda::ImportError::None) {
            frames.push_back({std::move(frame.points), std::move(frame.styles), {}});
        }
    }
    if (frames.empty()) {
        return {};
    }
    const model::stage::ShowStream stream =
        model::stage::BuildShow(frames, std::vector<bool>(frames.size(), true), settings);
    if (stream.slow) {
        err << options.file << ": "
            << QCoreApplication::translate("convert",
                                           "некоторые кадры рисуются дольше 1/%1 с при %2 точек/с; "
                                           "показ идёт с частотой %3 кадров/с")
                   .arg(settings.framesPerSecond)
                   .arg(settings.pointRate)
                   .arg(QString::number(stream.framesPerSecond, 'f', 1))
            << '\n';
    }
    if (show.cutShort) {
        err << options.file << ": "
            << QCoreApplication::translate(
                   "convert", "прочитаны только первые %1 МБ файла; показываются их кадры (%2)")
                   .arg(qulonglong(show.data.size() / (1024 * 1024)))
                   .arg(qulonglong(frames.size()))
            << '\n';
    } else if (show.list.stop == model::ilda::ImportError::Truncated) {
        err << options.file << ": "
            << QCoreApplication::translate(
                   "convert", "файл обрывается внутри кадра; показываются целые кадры до него (%1)")
                   .arg(qulonglong(show.list.frames.size()))
            << '\n';
    } else if (show.list.stop != model::ilda::ImportError::None) {
        err << options.file << ": "
            << QCoreApplication::translate(
                   "convert", "файл повреждён после кадра %1; показываются кадры до него")
                   .arg(qulonglong(show.list.frames.size()))
            << '\n';
    }
    return output::ShowFrames(stream, settings);
}

// How long a run of --seconds may take besides them (the connection, the start) before it is
// ended, played or not.
constexpr int kGraceMs = 2000;

}  // namespace

int Play(const PlayOptions& options, QTextStream& err) {
    // 1. Every frame of the show through the stage.
    // Read as the window reads a show (the frames of its first bytes, a regular file only).
    const formats::IldaShow show = formats::ReadIldaShow(options.file);
    if (!show.error.isEmpty()) {
        err << options.file << ": " << show.error << '\n';
        return kExitFileProblem;
    }
    std::vector<output::Frame> frames = Frames(options, show, err);
    if (frames.empty()) {
        err << options.file << ": "
            << QCoreApplication::translate("convert", "Нет кадров ILDA для показа") << '\n';
        return kExitFileProblem;
    }
    err.flush();

    // 2. Played until the time is up or Ctrl+C, or until the device fails; the time up is
    // counted in points played, at the rate.
    if (::pipe(interruptPipe) != 0) {
        err << "quorinimage: "
            << QCoreApplication::translate("convert", "не удаётся следить за Ctrl+C") << '\n';
        return kExitFileProblem;
    }
    std::optional<output::Failure> failed;
    {
        output::Link link(options.target);
        QSocketNotifier interrupted(interruptPipe[0], QSocketNotifier::Read);
        QObject::connect(&interrupted, &QSocketNotifier::activated, &link, &output::Link::Stop);
        std::signal(SIGINT, OnInterrupt);
        std::signal(SIGTERM, OnInterrupt);
        QObject::connect(&link, &output::Link::Status, [&err](const QString& text) {
            err << "quorinimage: " << text << '\n';
            err.flush();
        });
        QObject::connect(&link, &output::Link::Failed,
                         [&failed](output::Failure why) { failed = why; });
        // 3. The link's end blanks the beam and closes the connection before it says so.
        QObject::connect(&link, &output::Link::Stopped, qApp, &QCoreApplication::quit);
        const int rate = frames.front().pointRate;
        link.Play(std::move(frames), std::llround(options.seconds * rate));
        if (options.seconds > 0) {
            QTimer::singleShot(int(options.seconds * 1000) + kGraceMs, &link, &output::Link::Stop);
        }
        QCoreApplication::exec();
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    ::close(interruptPipe[0]);
    ::close(interruptPipe[1]);
    if (failed) {
        err << "quorinimage: " << output::TargetText(options.target) << ": "
            << output::FailureText(*failed) << '\n';
        return kExitFileProblem;
    }
    err << "quorinimage: " << options.file << ": "
        << QCoreApplication::translate("convert", "остановлено, луч погашен") << '\n';
    return kExitDone;
}

}  // namespace convert
