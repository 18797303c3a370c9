#include "window/file_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "formats/contour_files.h"
#include "formats/kinds.h"
#include "io/file_io.h"
#include "model/legacy_file.h"
#include "window/command_window.h"
#include "window/ilda_commands.h"

namespace window {

namespace {

constexpr int kMaxDefaultName = 999;
// The kinds Save writes, in the order of the save dialog's filters.
constexpr formats::Kind kSaveKinds[] = {formats::Kind::Contour, formats::Kind::Ilda};

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

std::span<const uint8_t> AsSpan(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

MessageSpec Question(const QString& text, std::vector<MessageButton> buttons,
                     MessageButton defaultButton, MessageButton escapeButton) {
    MessageSpec request;
    request.text = text;
    request.type = MessageType::Warning;
    request.buttons = std::move(buttons);
    request.defaultButton = defaultButton;
    request.escapeButton = escapeButton;
    return request;
}

MessageSpec ErrorBox(const QString& text) {
    MessageSpec request;
    request.text = text;
    request.type = MessageType::Error;
    return request;
}

}  // namespace

FileCommands::FileCommands(FileWindow& window) : editor_(window.editor()), window_(window) {
    using formats::Kind;
    // Every kind Open takes first, so that each shows and a typed name of any of them is
    // taken; then each kind alone.
    OpenDialogLaser.filter = formats::Filters(
        formats::KindsFor(formats::Use::Open), true,
        QCoreApplication::translate("window::FileCommands", "Все лазерные картинки"));
    OpenDialogLaser.fileName = Native(QStringLiteral("./*.ilz"));
    SaveDialogLaser.filter = formats::Filters({Kind::Contour, Kind::Ilda});
    SaveDialogLaser.defaultExt = QStringLiteral("*.ilz");
    OpenDialogPlz.filter = formats::Filters({Kind::Legacy});
    OpenDialogPlz.defaultExt = QStringLiteral("*.plz");
    SaveDialogPlz.filter = formats::Filters({Kind::Legacy});
    SaveDialogPlz.defaultExt = QStringLiteral("*.plz");
}

void FileCommands::FormCreate() {
    SaveDialogLaser.fileName = DefaultSaveName();
    MarkSaved();
}

void FileCommands::MarkSaved(bool whole) {
    savedImage_ = CurrentImage();
    savedStyles_ = CurrentStyles();
    savedFrames_.clear();
    if (whole && show().count() > 1) {
        savedFrames_ = show().frames();
    }
    editor_.document().Touch(editor::Document::FilePart);
}

void FileCommands::AdoptOneFrame(editor::Show::State before, const std::string& name,
                                 bool fromFile) {
    const bool several = before.frames.size() > 1 || show().count() > 1;
    show().Adopt(name, fromFile);
    if (several) {
        // The contour's own undo would put the old contour into a show it was not part of.
        show().TakeUndo(std::move(before));
        window_.framesReplaced(true);
    }
}

void FileCommands::ProposeKind(const formats::KindInfo& kind) {
    for (std::size_t i = 0; i < std::size(kSaveKinds); ++i) {
        if (kSaveKinds[i] == kind.kind) {
            SaveDialogLaser.filterIndex = int(i) + 1;
            // The contour file's as the dialog starts with it; another kind's own.
            SaveDialogLaser.defaultExt =
                i == 0 ? QStringLiteral("*.ilz") : kind.extensions.constFirst();
        }
    }
}

const formats::KindInfo& FileCommands::SaveKind() const {
    // The kind the name's extension names when Save writes it, else the chosen filter's (an
    // ILDA file opened under another name).
    const formats::KindInfo* named = formats::KindOfName(SaveDialogLaser.fileName);
    if (named != nullptr && named->use == formats::Use::Open) {
        return *named;
    }
    const int chosen = SaveDialogLaser.filterIndex - 1;
    return formats::Info(
        kSaveKinds[chosen >= 0 && chosen < int(std::size(kSaveKinds)) ? chosen : 0]);
}

QString FileCommands::DefaultSaveName() {
    for (int n = 1; n <= kMaxDefaultName; ++n) {
        const QString name = Native(QStringLiteral("./User%1.ilz").arg(n));
        if (!QFileInfo::exists(name)) {
            return name;
        }
    }
    return {};
}

model::ContourFileImage FileCommands::CurrentImage() const {
    return formats::ContourImage(editor_.contour());
}

std::vector<model::PointStyle> FileCommands::CurrentStyles() const {
    return editor_.contour().PointStyles();
}

std::vector<model::ContourPoint> FileCommands::CurrentPoints() const {
    return editor_.contour().Points();
}

bool FileCommands::HasUnsavedChanges() const {
    if (show().count() > 1 || !savedFrames_.empty()) {
        return !show().Holds(savedFrames_);
    }
    return CurrentImage() != savedImage_ || CurrentStyles() != savedStyles_;
}

bool FileCommands::Restore(const QByteArray& image, const QString& fileName,
                           const QString& captionFile, const std::vector<model::PointStyle>& styles,
                           std::optional<size_t> frame,
                           const std::vector<model::ContourPoint>& exact,
                           std::vector<model::Frame> frames, int current) {
    const std::optional<model::DecodedContour> file = model::DecodeContourFile(AsSpan(image));
    if (!file) {
        return false;
    }
    editor::Show::State before = show().Snapshot();
    model::ApplyContourFile(*file, editor_.contour());
    if (int64_t(exact.size()) == int64_t(file->count)) {
        for (size_t i = 0; i < exact.size(); ++i) {
            editor_.contour().SetSlot(int32_t(2 * i), exact[i].x);
            editor_.contour().SetSlot(int32_t(2 * i + 1), exact[i].y);
        }
    }
    showFrame_.reset();
    if (frame && !fileName.isEmpty()) {
        showFrame_.emplace(QFileInfo(fileName).absoluteFilePath(), *frame);
    }
    for (size_t i = 0; i < styles.size() && int64_t(i) < int64_t(file->count); ++i) {
        editor_.contour().SetStyle(int64_t(i), styles[i]);
    }
    if (frames.size() > 1) {
        // The show, the frame edited as it was kept.
        show().Reset(std::move(frames), current);
        window_.framesReplaced(false);
    } else {
        AdoptOneFrame(std::move(before), {}, false);
    }
    if (!fileName.isEmpty()) {
        SaveDialogLaser.fileName = fileName;
        const formats::KindInfo* kind = formats::KindOfFile(fileName);
        ProposeKind(kind != nullptr && kind->use == formats::Use::Open
                        ? *kind
                        : formats::Info(formats::Kind::Contour));
        window_.enableSaveControls();
        window_.setCaptionFile(captionFile);
        // What the file holds now is what the closing question compares with: a contour
        // file's points, all of them default. Of an ILDA file the frame is not known, so the
        // contour the editor started with stays the one compared with.
        const formats::ContourFileRead disk = formats::ReadContourFile(fileName);
        if (disk.outcome == formats::ContourFileRead::Outcome::Read) {
            savedImage_ = disk.image;
            savedStyles_.assign(size_t(std::max(0, disk.file.count)), model::PointStyle{});
        }
    }
    editor_.Repaint();
    return true;
}

std::optional<size_t> FileCommands::ShowFrame(const QString& fileName) const {
    if (showFrame_ && showFrame_->first == QFileInfo(fileName).absoluteFilePath()) {
        return showFrame_->second;
    }
    return std::nullopt;
}

void FileCommands::ShowFileError(const QString& text) {
    window_.dialogs().message(ErrorBox(text));
}

void FileCommands::ShowCaptionFor(const QString& name) {
    window_.setCaptionFile(QStringLiteral(" [") + name + QStringLiteral("]"));
}

// ---- The contour file ----

bool FileCommands::SaveFileFigura() {
    const formats::KindInfo& kind = SaveKind();
    const QString& name = SaveDialogLaser.fileName;
    // True colour, each point in its own colour and the default ones in the line colour, as
    // the ILDA export writes them.
    formats::WriteOptions options;
    options.ildaFormat = model::ilda::kTrueColor2D;
    const QRgb line = editor::ResolveColor(editor_.settings().ColorBoxLine);
    options.lineColor = {uint8_t(qRed(line)), uint8_t(qGreen(line)), uint8_t(qBlue(line))};
    // A show of several frames goes whole to a file that holds a show; to another, the
    // current frame alone (the user agreed to that before). The one frame of a show kept for
    // recovery from a show Open took a frame of is written in its place, the rest kept.
    const bool whole = show().count() > 1 && kind.holdsShow();
    const std::optional<size_t> frame = kind.holdsShow() && !whole ? ShowFrame(name) : std::nullopt;
    const formats::Written written =
        whole   ? kind.writeShow(name, show().frames(), options)
        : frame ? formats::WriteIldaFrameOfShow(name, formats::ReadIldaShow(name), *frame,
                                                editor_.contour(), options)
                : kind.write(name, editor_.contour(), options);
    if (!written.ok) {
        ShowFileError(written.error);
        return false;
    }
    if (!frame) {
        showFrame_.reset();
    }
    if (openedInPart_ && openedInPart_->first == QFileInfo(name).absoluteFilePath()) {
        openedInPart_.reset();  // the file now holds what is open
    }
    ProposeKind(kind);
    if (!written.notes.isEmpty()) {
        // What a projector will make of the frame.
        ShowMessage(window_.dialogs(), MessageType::Warning, written.notes.join(QLatin1Char('\n')));
    }
    // The file holds the current frame alone: the show's other frames are unsaved work.
    MarkSaved(show().count() == 1 || whole);
    window_.enableSaveControls();
    return true;
}

FileCommands::LoadResult FileCommands::LoadFileFigura() {
    editor::Show::State before = show().Snapshot();
    const formats::ContourFileRead read = formats::ReadContourFile(OpenDialogLaser.fileName);
    switch (read.outcome) {
        case formats::ContourFileRead::Outcome::Failed:
            ShowFileError(read.error);
            return LoadResult::Failed;
        case formats::ContourFileRead::Outcome::Refused:
            ShowFileError(read.error);
            return LoadResult::Refused;
        case formats::ContourFileRead::Outcome::Read:
            break;
    }
    model::ApplyContourFile(read.file, editor_.contour());
    AdoptOneFrame(std::move(before), {}, false);
    MarkSaved();
    showFrame_.reset();
    return LoadResult::Loaded;
}

FileCommands::LoadResult FileCommands::LoadIldaFile(const QString& name) {
    const formats::IldaShow file = formats::ReadIldaShow(name);
    if (!file.error.isEmpty()) {
        ShowFileError(file.error);
        return LoadResult::Failed;
    }
    editor::Show::State before = show().Snapshot();
    if (file.list.frames.size() <= 1) {
        // One frame, as an import takes it: a frame too long is offered thinned.
        const formats::Import in = formats::ImportIldaFrame(file, 0);
        if (!TakeImport(window_, in)) {
            return LoadResult::Failed;
        }
        AdoptOneFrame(std::move(before), in.name, true);
        MarkSaved();
        showFrame_.reset();
        return LoadResult::Loaded;
    }
    const formats::ShowImport frames = formats::ImportIldaShow(file);
    if (!frames.error.isEmpty()) {
        ShowFileError(frames.error);
        return LoadResult::Failed;
    }
    std::vector<model::Frame> taken;
    taken.reserve(frames.frames.size());
    for (const formats::Import& in : frames.frames) {
        taken.push_back(formats::FrameOf(in));
    }
    show().Reset(std::move(taken), 0, true);
    show().TakeUndo(std::move(before));
    window_.framesReplaced(true);
    editor_.Repaint();
    MarkSaved();
    showFrame_.reset();
    openedInPart_.reset();
    if (!frames.notes.isEmpty()) {
        openedInPart_.emplace(QFileInfo(name).absoluteFilePath(),
                              frames.notes.join(QLatin1Char('\n')));
        // Frames thinned, a show that ends early: said once, for the whole show.
        ShowMessage(window_.dialogs(), MessageType::Information,
                    frames.notes.join(QLatin1Char('\n')));
    }
    return LoadResult::Loaded;
}

bool FileCommands::ConfirmStylesLost(const QString& name) {
    const QString file = QFileInfo(name).absoluteFilePath();
    if (stylesLossAgreed_.contains(file)) {
        return true;
    }
    const MessageButton answer = window_.dialogs().message(Question(
        QCoreApplication::translate("window::FileCommands",
                                    "Цвета и гашение в файле .ilz не сохраняются. Записать?"),
        {MessageButton::Yes, MessageButton::No}, MessageButton::Yes, MessageButton::No));
    if (answer != MessageButton::Yes) {
        return false;
    }
    stylesLossAgreed_.insert(file);
    return true;
}

bool FileCommands::ConfirmOneFrame() {
    return window_.dialogs().message(Question(
               QCoreApplication::translate(
                   "window::FileCommands",
                   "В показе %1 кадров, а файл этого вида хранит один. Сохранить "
                   "только текущий кадр?")
                   .arg(show().count()),
               {MessageButton::Yes, MessageButton::No}, MessageButton::Yes, MessageButton::No)) ==
           MessageButton::Yes;
}

bool FileCommands::ConfirmOverwrite(const QString& name) {
    if (!QFileInfo::exists(name)) {
        return true;
    }
    QString text = QCoreApplication::translate("window::FileCommands",
                                               "Файл с таким именем существует, переписать?");
    MessageButton byDefault = MessageButton::Yes;
    if (openedInPart_ && openedInPart_->first == QFileInfo(name).absoluteFilePath()) {
        // What was not read would be gone: said, and No the default.
        text += QStringLiteral("\n\n") +
                QCoreApplication::translate(
                    "window::FileCommands",
                    "Он открыт не полностью: переписанный, он потеряет то, чего в редакторе нет.") +
                QStringLiteral("\n") + openedInPart_->second;
        byDefault = MessageButton::No;
    }
    return window_.dialogs().message(Question(text, {MessageButton::Yes, MessageButton::No},
                                              byDefault, MessageButton::No)) == MessageButton::Yes;
}

FileCommands::SaveOutcome FileCommands::AskAndSave() {
    const QString previous = SaveDialogLaser.fileName;
    if (!window_.dialogs().saveFile(SaveDialogLaser)) {
        return SaveOutcome::Cancelled;
    }
    if (show().count() > 1 && !SaveKind().holdsShow() && !ConfirmOneFrame()) {
        SaveDialogLaser.fileName = previous;
        return SaveOutcome::Declined;
    }
    if (!SaveKind().keepsStyles && editor_.contour().Styled() &&
        !ConfirmStylesLost(SaveDialogLaser.fileName)) {
        // Nothing is written, and the current file stays what it was.
        SaveDialogLaser.fileName = previous;
        return SaveOutcome::Declined;
    }
    if (!ConfirmOverwrite(SaveDialogLaser.fileName)) {
        return SaveOutcome::NotOverwritten;
    }
    if (!SaveFileFigura()) {
        // A failed write leaves the program as it was, the current file name included.
        SaveDialogLaser.fileName = previous;
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Written;
}

// ---- Commands ----

void FileCommands::SpeedButtonNewPictClick() {
    // 1. The snapshot, so that Undo brings the contour back.
    editor_.ToUndo();
    // 2. Offer to save first.
    const MessageButton answer = window_.dialogs().message(
        Question(QCoreApplication::translate("window::FileCommands", "Записать файл?"),
                 {MessageButton::No, MessageButton::Ok}, MessageButton::Ok, MessageButton::No));
    // 3. Saving names the file, whether or not an existing file was overwritten.
    if (answer == MessageButton::Ok) {
        switch (AskAndSave()) {
            case SaveOutcome::Failed:
            case SaveOutcome::Declined:
                return;  // the contour stays, so nothing is lost
            case SaveOutcome::Written:
            case SaveOutcome::NotOverwritten:
                ShowCaptionFor(SaveDialogLaser.fileName);
                break;
            case SaveOutcome::Cancelled:
                break;
        }
    }
    // 4. An empty contour, a show of one frame; the slots keep their values for Undo and the
    // tools.
    editor::Show::State before = show().Snapshot();
    editor_.state().PointCount = 0;
    AdoptOneFrame(std::move(before), {}, false);
    editor_.Repaint();
    // The empty contour is a new start: closing now loses nothing.
    MarkSaved();
}

void FileCommands::SpeedButtonOpenLaserClick() {
    // The snapshot comes before the dialog, so a cancelled Open still enables Undo.
    LoadFile(editor_, window_.dialogs(), OpenDialogLaser, std::nullopt,
             [this](const QString&) { OpenNamed(); });
}

void FileCommands::OpenContourFile(const QString& name) {
    LoadFile(editor_, window_.dialogs(), OpenDialogLaser, name,
             [this](const QString&) { OpenNamed(); });
}

void FileCommands::OpenNamed() {
    // 3. The file; a file that can't be read ends the command here. An ILDA file is known by
    // its first bytes, whatever its name.
    const formats::KindInfo& kind = formats::OpenedAs(OpenDialogLaser.fileName);
    const LoadResult loaded =
        kind.holdsShow() ? LoadIldaFile(OpenDialogLaser.fileName) : LoadFileFigura();
    if (loaded == LoadResult::Failed) {
        return;
    }
    // 4.-6. A file that was read becomes the current file. A refused one is not adopted, so a
    // foreign file is never proposed for overwriting.
    if (loaded == LoadResult::Loaded) {
        ProposeKind(kind);
        SaveDialogLaser.fileName = OpenDialogLaser.fileName;
        window_.enableSaveControls();
        ShowCaptionFor(OpenDialogLaser.fileName);
    }
    // 7. A repaint now and one more shortly after.
    editor_.Repaint();
    editor_.ArmRepaint();
}

bool FileCommands::SpeedButtonSaveClick() {
    const SaveOutcome outcome = AskAndSave();
    if (outcome == SaveOutcome::Failed) {
        return false;
    }
    // Even a cancelled dialog shows the current name.
    ShowCaptionFor(SaveDialogLaser.fileName);
    return outcome == SaveOutcome::Written;
}

bool FileCommands::SaveAsItemClick() {
    return SpeedButtonSaveClick();
}

// ---- The legacy file ----

void FileCommands::ItemImportClick() {
    // The snapshot, before anything else.
    LoadFile(editor_, window_.dialogs(), OpenDialogPlz, std::nullopt,
             [this](const QString&) { ImportNamed(); });
}

const formats::KindInfo& FileCommands::importedKind() const {
    return formats::Info(formats::Kind::Legacy);
}

void FileCommands::ImportFile(const QString& name) {
    LoadFile(editor_, window_.dialogs(), OpenDialogPlz, name,
             [this](const QString&) { ImportNamed(); });
}

void FileCommands::ImportNamed() {
    // 3. The first 2048 bytes; a shorter file ends the command with the contour unchanged.
    const formats::LegacyFileRead read = formats::ReadLegacyFile(OpenDialogPlz.fileName);
    if (!read.error.isEmpty()) {
        ShowFileError(read.error);
        return;
    }
    const QByteArray& ExchangeBuffer = read.bytes;
    // 4. The next export proposes the imported file.
    SaveDialogPlz.fileName = OpenDialogPlz.fileName;
    // 5.-6. All 256 points, 255 of them counted.
    model::DecodeLegacyFile(AsSpan(ExchangeBuffer), editor_.contour());
    // 7.
    editor_.Repaint();
}

void FileCommands::ItemExportClick() {
    const QString previous = SaveDialogPlz.fileName;
    if (!window_.dialogs().saveFile(SaveDialogPlz)) {
        return;
    }
    if (show().count() > 1 && !ConfirmOneFrame()) {
        SaveDialogPlz.fileName = previous;
        return;
    }
    // Points 0..255 of the buffer, whatever the count.
    const formats::Written written =
        formats::WriteLegacyFile(SaveDialogPlz.fileName, editor_.contour());
    if (!written.ok) {
        SaveDialogPlz.fileName = previous;
        ShowFileError(written.error);
    }
}

// ---- Closing ----

bool FileCommands::QueryClose() {
    if (!HasUnsavedChanges()) {
        return true;
    }
    const MessageButton answer = window_.dialogs().message(
        Question(QCoreApplication::translate("window::FileCommands", "Записать файл?"),
                 {MessageButton::No, MessageButton::Ok, MessageButton::Cancel}, MessageButton::Ok,
                 MessageButton::Cancel));
    switch (answer) {
        case MessageButton::No:
            return true;
        case MessageButton::Ok:
            return SpeedButtonSaveClick();
        default:
            return false;
    }
}

}  // namespace window
