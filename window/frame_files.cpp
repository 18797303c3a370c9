#include "window/frame_files.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <memory>

#include "formats/kinds.h"
#include "window/trace_commands.h"

namespace window {

namespace {

// Whether name a comes before name b as people number files: a run of digits by its value
// ("frame9" before "frame10"), the rest without case.
bool NumberedBefore(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype si = i;
            const qsizetype sj = j;
            while (i < a.size() && a[i].isDigit()) {
                ++i;
            }
            while (j < b.size() && b[j].isDigit()) {
                ++j;
            }
            // Leading zeros aside, a longer run is a larger number.
            QStringView x = QStringView(a).mid(si, i - si);
            QStringView y = QStringView(b).mid(sj, j - sj);
            while (x.size() > 1 && x.front() == QLatin1Char('0')) {
                x = x.mid(1);
            }
            while (y.size() > 1 && y.front() == QLatin1Char('0')) {
                y = y.mid(1);
            }
            if (x.size() != y.size()) {
                return x.size() < y.size();
            }
            if (const int c = x.compare(y); c != 0) {
                return c < 0;
            }
            continue;
        }
        const QChar x = a[i].toLower();
        const QChar y = b[j].toLower();
        if (x != y) {
            return x < y;
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j || (a.size() - i == b.size() - j && a < b);
}

std::vector<formats::Kind> AllKinds() {
    std::vector<formats::Kind> kinds;
    for (const formats::KindInfo& kind : formats::Kinds()) {
        kinds.push_back(kind.kind);
    }
    return kinds;
}

}  // namespace

FrameFiles::FrameFiles(CommandWindow& window, FrameCommands& frames,
                       std::function<pictures::SvgOptions()> svgOptions)
    : window_(window), frames_(frames), svgOptions_(std::move(svgOptions)) {
    dialog_.title = QCoreApplication::translate("window::FrameFiles", "Кадры из файлов");
    dialog_.filter = formats::Filters(
        AllKinds(), true, QCoreApplication::translate("window::FrameFiles", "Все кадры"));
}

void FrameFiles::ItemFramesFromFilesClick() {
    if (const std::optional<QStringList> names = window_.dialogs().openFiles(dialog_)) {
        Insert(*names);
    }
}

std::optional<FrameFiles::TraceSettings> FrameFiles::AskTrace(const QStringList& pictures) {
    editor::Editor& editor = window_.editor();
    for (const QString& name : pictures) {
        pictures::PictureSource source;
        const pictures::PictureResult loaded = pictures::LoadPicture(
            name, editor.canvas().image().size(), &source, formats::ReadAs(name).picture);
        if (!loaded.ok() || loaded.image.isNull()) {
            continue;  // its own reading says why
        }
        const QImage own =
            pictures::ReadSourcePicture(source, pictures::kTracingMaxSide, loaded.rect.size());
        const tracing::Picture picture(own.isNull() ? loaded.image : own, loaded.rect);
        TraceDialog dialog(
            &window_.mainWindow(), picture, editor.settings().ScrollBarFriqPoints,
            [this](const Overlay& overlay) { window_.setOverlay(overlay); },
            editor.contour().PenStyle);
        dialog.setWindowTitle(QCoreApplication::translate("window::FrameFiles", "Трассировка: %1")
                                  .arg(QFileInfo(name).fileName()));
        PlaceBeside(dialog, window_.mainWindow());
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return TraceSettings{dialog.options(), dialog.spacing()};
    }
    // No picture can be read: each says why when its turn comes.
    return TraceSettings{tracing::Options{}, editor.settings().ScrollBarFriqPoints};
}

bool FrameFiles::Insert(QStringList names) {
    Dialogs& dialogs = window_.dialogs();
    editor::Editor& editor = window_.editor();
    editor::Show& show = editor.document().show();
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return NumberedBefore(QFileInfo(a).fileName(), QFileInfo(b).fileName());
    });

    QStringList problems;
    QStringList notes;
    // One set of tracing settings for every picture, asked before anything is read.
    QStringList pictureFiles;
    for (const QString& name : names) {
        if (formats::ReadAs(name).use == formats::Use::Underlay) {
            pictureFiles << name;
        }
    }
    formats::ReadOptions read;
    read.spacing = editor.settings().ScrollBarFriqPoints;
    read.svg = svgOptions_();
    read.autoThreshold = false;
    int pictureSpacing = read.spacing;
    if (!pictureFiles.isEmpty()) {
        const std::optional<TraceSettings> trace = AskTrace(pictureFiles);
        if (!trace) {
            return false;
        }
        read.trace = trace->options;
        pictureSpacing = trace->spacing;
    }

    const int room = model::kMaxShowFrames - show.count();
    std::vector<model::Frame> made;
    int fitted = 0;  // frames taken as offered: a wider spacing
    for (const QString& name : names) {
        const formats::KindInfo& kind = formats::ReadAs(name);
        formats::ReadOptions options = read;
        if (kind.use == formats::Use::Underlay) {
            options.spacing = pictureSpacing;
        }
        const QString file = QFileInfo(name).fileName();
        formats::ShowImport in;
        if (kind.readShow != nullptr) {
            in = kind.readShow(kind, name, options);
        } else {
            in.frames.push_back(kind.read(kind, name, options));
        }
        if (!in.error.isEmpty()) {
            problems << file + QStringLiteral(": ") + in.error;
            continue;
        }
        for (const QString& note : in.notes) {
            notes << file + QStringLiteral(": ") + note;
        }
        for (formats::Import& frame : in.frames) {
            if (!frame.error.isEmpty()) {
                problems << file + QStringLiteral(": ") + frame.error;
                continue;
            }
            fitted += frame.question.isEmpty() ? 0 : 1;
            model::Frame f;
            if (frame.applyTo) {
                // A file that is an image of the contour's buffer, put in a contour of its own.
                auto contour = std::make_unique<model::Contour>();
                contour->Reset();
                if (!frame.applyTo(*contour)) {
                    problems << file + QStringLiteral(": ") + formats::OtherFormatText();
                    continue;
                }
                f = {contour->Points(), contour->PointStyles(), {}};
            } else {
                f = formats::FrameOf(frame);
            }
            if (f.name.empty()) {
                f.name = formats::IldaFrameName(name);
            }
            made.push_back(std::move(f));
        }
    }
    if (fitted > 0) {
        notes << QCoreApplication::translate(
                     "window::FrameFiles",
                     "Кадров, которым при этом шаге нужно больше %1 точек: %2; они взяты с "
                     "наименьшим шагом, при котором помещаются.")
                     .arg(model::kMaxContourPoints)
                     .arg(fitted);
    }
    if (int(made.size()) > room) {
        notes << QCoreApplication::translate(
                     "window::FrameFiles",
                     "Показ вмещает не более %1 кадров: взяты первые %2 из %3.")
                     .arg(model::kMaxShowFrames)
                     .arg(room)
                     .arg(made.size());
        made.resize(size_t(std::max(0, room)));
    }
    const bool any = !made.empty();
    if (any) {
        show.TakeUndo();
        show.InsertAll(show.current() + 1, std::move(made));
        frames_.Changed(true);
    }
    if (!problems.isEmpty() || !notes.isEmpty()) {
        ShowMessage(dialogs, problems.isEmpty() ? MessageType::Information : MessageType::Warning,
                    (problems + notes).join(QLatin1Char('\n')));
    }
    return any;
}

}  // namespace window
