#include "formats/imports.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

#include "io/file_io.h"
#include "pictures/picture_formats.h"
#include "pictures/qt_image_reader.h"

namespace formats {

namespace {

Import Failure(const QString& text) {
    Import in;
    in.error = text;
    return in;
}

// The join at a spacing, left unbuilt when the paths' length alone needs more points than
// the contour holds: resampling a long drawing finely would only fill memory.
model::JoinedContour JoinIfItCanFit(const pictures::SvgDrawing& d, int spacing) {
    if (d.lengthPixels / spacing > double(model::kMaxContourPoints)) {
        return {};
    }
    return model::JoinPaths(d.paths, spacing);
}

}  // namespace

Import SpacingOffer(const std::function<model::JoinedContour(int)>& joinAt, int spacing,
                    int smallest, const QString& noneFits) {
    if (smallest == 0) {
        return Failure(noneFits);
    }
    const int limit = int(model::kMaxContourPoints);
    Import in;
    model::JoinedContour joined = joinAt(smallest);
    in.points = std::move(joined.points);
    in.styles = std::move(joined.styles);
    in.question = QCoreApplication::translate(
                      "formats",
                      "При шаге пера %1 пикс. рисунку нужно больше %2 точек.\n"
                      "Импортировать с шагом %3 пикс., наименьшим, при котором он помещается?")
                      .arg(spacing)
                      .arg(limit)
                      .arg(smallest);
    in.refusal = QCoreApplication::translate(
                     "formats",
                     "При шаге %1 пикс. рисунку нужно больше %2 точек; наименьший шаг, при "
                     "котором он помещается: %3 (--spacing %3).")
                     .arg(spacing)
                     .arg(limit)
                     .arg(smallest);
    return in;
}

Import ImportIldaFrame(const IldaShow& show, size_t index) {
    if (!show.error.isEmpty()) {
        return Failure(show.error);
    }
    const auto& frames = show.list.frames;
    // A frame the walk found, else the first frame's or that frame's own reason for not being
    // there.
    model::ilda::Import frame = index < frames.size()
                                    ? model::ilda::DecodeFrame(show.bytes(), frames[index])
                                : index == 0 ? model::ilda::Decode(show.bytes())
                                             : model::ilda::DecodeFrame(show.bytes(), int(index));
    using model::ilda::ImportError;
    switch (frame.error) {
        case ImportError::None:
        case ImportError::TooManyPoints:
            break;
        case ImportError::NotIlda:
            return Failure(QCoreApplication::translate("formats", "Это не файл ILDA."));
        case ImportError::UnknownFormat:
            return Failure(QCoreApplication::translate(
                "formats", "Формат записей ILDA в этом файле не поддерживается."));
        case ImportError::Truncated:
            return Failure(QCoreApplication::translate(
                "formats", "Файл ILDA повреждён: записи обрываются раньше конца."));
        case ImportError::NoFrame:
            return Failure(
                QCoreApplication::translate("formats", "В файле ILDA нет кадра с точками."));
    }
    Import in;
    // Blanked points come in blanked, each point in its record's colour.
    in.points = std::move(frame.points);
    in.styles = std::move(frame.styles);
    // A frame longer than the contour holds can come in thinned, its shape kept; a line that
    // crosses a blanked point left out stays dark (model::ilda::Thin).
    const size_t limit = size_t(model::ilda::kMaxImportPoints);
    if (in.points.size() > limit) {
        model::ilda::Thinned thin = model::ilda::Thin(in.points, in.styles, limit);
        in.question =
            QCoreApplication::translate("formats",
                                        "Кадр %1 содержит %2 точек, а контур вмещает не более %3.\n"
                                        "Проредить кадр до %4 точек, сохранив его форму?")
                .arg(index + 1)
                .arg(in.points.size())
                .arg(limit)
                .arg(thin.points.size());
        in.taken = QCoreApplication::translate(
                       "formats",
                       "Кадр %1 содержит %2 точек, а контур вмещает не более %3: кадр прорежен "
                       "до %4 точек, его форма сохранена.")
                       .arg(index + 1)
                       .arg(in.points.size())
                       .arg(limit)
                       .arg(thin.points.size());
        in.points = std::move(thin.points);
        in.styles = std::move(thin.styles);
    }
    // A show that ends early says so; the chooser of a show of several frames has said it
    // before the choice.
    if (const QString end = show.EndNote(); !end.isEmpty() && frames.size() <= 1) {
        in.notes << end;
    }
    if (frames.size() > 1) {
        // Which frame of the show it was, in place of the report of an earlier import.
        in.reports = true;
        in.spare =
            QCoreApplication::translate("formats", "Кадр %1/%2").arg(index + 1).arg(frames.size());
    }
    return in;
}

model::Frame FrameOf(const Import& in) {
    return model::Frame{in.points, in.styles, in.name};
}

ShowImport ImportIldaShow(const IldaShow& show) {
    ShowImport out;
    if (!show.error.isEmpty()) {
        out.error = show.error;
        return out;
    }
    const auto& frames = show.list.frames;
    if (frames.empty()) {
        // The first frame's own reason for not being there.
        out.error = ImportIldaFrame(show, 0).error;
        if (out.error.isEmpty()) {
            out.error = QCoreApplication::translate("formats", "В файле ILDA нет кадра с точками.");
        }
        return out;
    }
    const size_t count = std::min(frames.size(), size_t(model::kMaxShowFrames));
    const size_t limit = size_t(model::ilda::kMaxImportPoints);
    int thinned = 0;
    out.frames.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        model::ilda::Import frame = model::ilda::DecodeFrame(show.bytes(), frames[i]);
        if (frame.error != model::ilda::ImportError::None) {
            // The walk lists whole frames of known formats only: this is not a show.
            out.frames.clear();
            out.error = QCoreApplication::translate(
                "formats", "Файл ILDA повреждён: записи обрываются раньше конца.");
            return out;
        }
        Import in;
        in.name = std::move(frame.frameName);
        if (frame.points.size() > limit) {
            model::ilda::Thinned thin = model::ilda::Thin(frame.points, frame.styles, limit);
            in.points = std::move(thin.points);
            in.styles = std::move(thin.styles);
            ++thinned;
        } else {
            in.points = std::move(frame.points);
            in.styles = std::move(frame.styles);
        }
        out.frames.push_back(std::move(in));
    }
    if (thinned > 0) {
        out.notes << QCoreApplication::translate(
                         "formats",
                         "Кадров больше %1 точек: %2. Контур вмещает не более %1 точек: эти кадры "
                         "прорежены, их форма сохранена.")
                         .arg(limit)
                         .arg(thinned);
    }
    if (frames.size() > count) {
        out.notes << QCoreApplication::translate(
                         "formats",
                         "В файле %1 кадров, а показ вмещает не более %2: взяты первые %2.")
                         .arg(frames.size())
                         .arg(count);
    }
    if (const QString end = show.EndNote(); !end.isEmpty()) {
        out.notes << end;
    }
    return out;
}

Import ImportSvgFile(const QString& name, int spacing, const pictures::SvgOptions& options) {
    QByteArray data;
    if (const io::FileResult r = io::ReadWholeFile(name, pictures::kMaxSvgFileBytes, data); !r.ok) {
        return Failure(
            QCoreApplication::translate("formats", "Не удаётся прочитать файл: %1").arg(r.error));
    }
    const pictures::SvgDrawing drawing = pictures::ReadSvg(data, options);
    if (!drawing.ok()) {
        return Failure(
            QCoreApplication::translate("formats", "Не удаётся импортировать файл %1: %2.")
                .arg(name, drawing.error));
    }
    const QString textNote = drawing.textLeftOut > 0
                                 ? QCoreApplication::translate(
                                       "formats", "Надписей не вошло: %1 (Qt не дал их очертаний).")
                                       .arg(drawing.textLeftOut)
                                 : QString();
    if (drawing.paths.empty()) {
        return Failure(
            QCoreApplication::translate("formats", "В рисунке %1 нет ни одной линии.").arg(name) +
            (textNote.isEmpty() ? QString() : QLatin1Char('\n') + textNote));
    }
    const int limit = int(model::kMaxContourPoints);
    if (drawing.paths.size() > model::kMaxContourPoints) {
        return Failure(QCoreApplication::translate(
                           "formats", "В рисунке %1 линий, а контур вмещает не более %2 точек.")
                           .arg(drawing.paths.size())
                           .arg(limit));
    }
    // The pen's spacing; a drawing that needs more points is offered the smallest that fits.
    model::JoinedContour joined = JoinIfItCanFit(drawing, spacing);
    Import in;
    if (joined.fits()) {
        in.points = std::move(joined.points);
        in.styles = std::move(joined.styles);
    } else {
        const int smallest = model::SmallestFittingSpacing(drawing.paths, spacing + 1);
        in = SpacingOffer(
            [&drawing](int s) { return model::JoinPaths(drawing.paths, s); }, spacing, smallest,
            QCoreApplication::translate(
                "formats", "Рисунок не помещается в контур из %1 точек даже при шаге 30 пикселей.")
                .arg(limit));
        if (!in.error.isEmpty()) {
            return in;
        }
        joined = model::JoinPaths(drawing.paths, smallest);
    }
    // The points go to the length panel, as always; paths and jumps to the two spare ones, so
    // that the tool's own text stays.
    in.reports = true;
    in.spare = QCoreApplication::translate("formats", "Линий %1").arg(joined.paths);
    in.dot = QCoreApplication::translate("formats", "Скачки %1 пикс.")
                 .arg(std::lround(joined.jumpPixels));
    if (!textNote.isEmpty()) {
        in.notes << textNote;
    }
    return in;
}

TraceResult TraceAndJoin(const tracing::Picture& picture, const tracing::Options& options,
                         int spacing, model::PointStyle style) {
    TraceResult r;
    r.paths = picture.Trace(options);
    for (model::Path& p : r.paths) {
        p.style = style;
    }
    r.contour = model::JoinPaths(r.paths, spacing);
    if (!r.contour.fits() && r.contour.needed > 0) {
        r.fittingSpacing = model::SmallestFittingSpacing(r.paths, spacing + 1);
    }
    return r;
}

QString TraceWarning(const TraceResult& r) {
    const model::JoinedContour& c = r.contour;
    if (c.needed == 0) {
        return QCoreApplication::translate("formats",
                                           "Ничего не найдено: измените порог или режим.");
    }
    if (c.fits()) {
        return QString();
    }
    if (r.fittingSpacing > 0) {
        return QCoreApplication::translate("formats",
                                           "Нужно %1 точек, а контур вмещает не более %2.")
            .arg(c.needed)
            .arg(model::kMaxContourPoints);
    }
    return QCoreApplication::translate(
        "formats", "Не помещается даже при шаге 30: увеличьте мин. длину или допуск.");
}

namespace {

// A picture traced and joined as the tracing dialog does it, at its own resolution `own` laid
// on the surface at `rect`.
Import TraceInto(const QImage& own, const QRect& rect, tracing::Options options, bool autoThreshold,
                 int spacing) {
    const tracing::Picture picture(own, rect);
    if (autoThreshold) {
        options.threshold = picture.AutoThreshold();
    }
    const TraceResult r = TraceAndJoin(picture, options, spacing);
    if (r.contour.fits()) {
        Import in;
        in.points = r.contour.points;
        in.styles = r.contour.styles;
        return in;
    }
    if (r.contour.needed == 0 || r.fittingSpacing == 0) {
        return Failure(TraceWarning(r));
    }
    return SpacingOffer([&r](int s) { return model::JoinPaths(r.paths, s); }, spacing,
                        r.fittingSpacing, TraceWarning(r));
}

}  // namespace

Import ImportTracedPicture(const QString& name, pictures::PictureKind kind, QSize surface,
                           tracing::Options options, bool autoThreshold, int spacing) {
    pictures::PictureSource source;
    const pictures::PictureResult loaded = pictures::LoadPicture(name, surface, &source, kind);
    if (!loaded.ok()) {
        return Failure(loaded.error);
    }
    if (loaded.image.isNull()) {
        return Failure(
            QCoreApplication::translate("formats", "Ничего не найдено: измените порог или режим."));
    }
    // At its own resolution where it has one, as the underlay gives it to the dialog.
    const QImage own =
        pictures::ReadSourcePicture(source, pictures::kTracingMaxSide, loaded.rect.size());
    return TraceInto(own.isNull() ? loaded.image : own, loaded.rect, options, autoThreshold,
                     spacing);
}

ShowImport ImportTracedFrames(const QString& name, pictures::PictureKind kind, QSize surface,
                              const tracing::Options& options, bool autoThreshold, int spacing) {
    ShowImport out;
    QByteArray data;
    if (const io::FileResult read = io::ReadWholeFile(name, pictures::kMaxPictureFileBytes, data);
        !read.ok) {
        out.error = read.error;
        return out;
    }
    int blank = 0;
    const QString error =
        pictures::ReadQtFrames(data, kind, model::kMaxShowFrames, [&](const QImage& frame) {
            const pictures::PictureResult fitted = pictures::Fitted(frame, surface);
            Import in;
            if (!fitted.image.isNull()) {
                // At its own resolution, as a picture is traced.
                const QImage own =
                    frame.width() > pictures::kTracingMaxSide ||
                            frame.height() > pictures::kTracingMaxSide
                        ? frame.scaled(pictures::kTracingMaxSide, pictures::kTracingMaxSide,
                                       Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        : frame;
                in = TraceInto(own, fitted.rect, options, autoThreshold, spacing);
            }
            if (fitted.image.isNull() || !in.error.isEmpty()) {
                // Nothing found in it: a dark frame of the animation, kept in its place.
                in = Import{};
                ++blank;
            }
            out.frames.push_back(std::move(in));
        });
    if (!error.isEmpty()) {
        out.frames.clear();
        out.error = error;
        return out;
    }
    if (blank > 0) {
        out.notes << QCoreApplication::translate(
                         "formats", "Кадров, в которых ничего не найдено: %1; они пусты.")
                         .arg(blank);
    }
    return out;
}

}  // namespace formats
