// The file commands of the main window: New, Open, Save, Save As on the contour file or an
// ILDA file (the file that keeps the points' colours and blanking, and a show's every frame),
// Import and Export of the legacy file, the closing question, and the four contour dialogs they
// use.
#pragma once

#include <QSet>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "editor/editor.h"
#include "model/contour_file.h"
#include "window/command_window.h"
#include "window/dialogs.h"

namespace window {

// What the file commands need from the window around them, besides what every group has.
class FileWindow : public CommandWindow {
  public:
    // Keeps captionFile as the file part of the caption and shows the whole caption.
    virtual void setCaptionFile(const QString& captionFile) = 0;
    // Enables SaveItem and SpeedButtonSave.
    virtual void enableSaveControls() = 0;
    // After the show was replaced (opened, restored, made anew): announced and drawn, Undo
    // enabled when it brings the old show back; the strip of frames opens by itself when there
    // are several.
    virtual void framesReplaced(bool undoable) = 0;
};

class FileCommands : public FileImport {
  public:
    explicit FileCommands(FileWindow& window);

    editor::Editor& editor() { return editor_; }

    // The dialogs. SaveDialogLaser's file name is the current file name; its second filter is
    // ILDA, also the current file's kind when that is an ILDA file.
    FileDialogSpec OpenDialogLaser;
    FileDialogSpec SaveDialogLaser;
    FileDialogSpec OpenDialogPlz;
    FileDialogSpec SaveDialogPlz;

    // The last step of the window's creation: the default save name, and the empty contour
    // as the one the program started with.
    void FormCreate();
    // ".\User" + n + ".ilz" (with the platform's separator) for the first n in 1..999 without
    // such a file in the working directory; empty when all exist.
    static QString DefaultSaveName();

    // Writes the file named by SaveDialogLaser in the kind Save writes: an ILDA file (true
    // colour) of every frame of the show, or of the one frame in place of the frame Open took
    // when the file is that show (as a copy kept for recovery before shows opened whole may
    // say), or the contour file of the current frame; false after a failure, which it shows.
    bool SaveFileFigura();
    // The kind Save writes: an ILDA file for a name ending in .ild, or one that ends in neither
    // .ild nor .ilz with the ILDA filter chosen (an ILDA file opened under another name); else
    // the contour file.
    const formats::KindInfo& SaveKind() const;
    enum class LoadResult { Loaded, Refused, Failed };
    // Reads the contour file named by OpenDialogLaser; a refusal or failure changes nothing.
    LoadResult LoadFileFigura();

    void SpeedButtonNewPictClick();
    void SpeedButtonOpenLaserClick();
    // Open with the file in place of the dialog's answer.
    void OpenContourFile(const QString& name);
    // Save and Save As; true when the file was written.
    bool SpeedButtonSaveClick();
    bool SaveAsItemClick();
    void ItemImportClick();
    // Import of a legacy file named from outside, with the file in place of the dialog's answer.
    const formats::KindInfo& importedKind() const override;
    void ImportFile(const QString& name) override;
    void ItemExportClick();

    // Whether the contour that would be saved differs from the one last saved, opened or
    // started with, in its points or in their styles; of a show of several frames (now or
    // then), whether any frame, their order or their number does.
    bool HasUnsavedChanges() const;
    // The contour as Save would write it in a contour file, and its points' styles.
    model::ContourFileImage CurrentImage() const;
    std::vector<model::PointStyle> CurrentStyles() const;
    std::vector<model::ContourPoint> CurrentPoints() const;
    // Takes back work kept for recovery: the contour from its file image and the points'
    // styles (default where there are fewer), and the file it belongs to (none when empty) as
    // the current file. Save then proposes that file, and the closing question compares with
    // what that file holds now. False for an image that is not a contour file, which changes
    // nothing.
    // `frame` is the frame of the show the work came from, when the file is an ILDA show;
    // `exact`, the points' exact positions when the image rounds them (one per point);
    // `frames`, a show of several frames that comes back whole, `current` being edited.
    bool Restore(const QByteArray& image, const QString& fileName, const QString& captionFile,
                 const std::vector<model::PointStyle>& styles = {},
                 std::optional<size_t> frame = std::nullopt,
                 const std::vector<model::ContourPoint>& exact = {},
                 std::vector<model::Frame> frames = {}, int current = 0);
    // The frame of the show `fileName` that Open took, which Save replaces; nothing when the
    // file is not that show.
    std::optional<size_t> ShowFrame(const QString& fileName) const;
    // Asks about unsaved work before the window closes; true when it may close.
    bool QueryClose();

  private:
    // Open and Import once the file is named.
    void OpenNamed();
    void ImportNamed();
    enum class SaveOutcome { Cancelled, NotOverwritten, Declined, Written, Failed };
    // The save dialog, the overwrite question and the write.
    SaveOutcome AskAndSave();
    bool ConfirmOverwrite(const QString& name);
    // Before a contour with colours or blanking goes to a contour file, which keeps neither:
    // asked once for each file name, until the answer is Yes.
    bool ConfirmStylesLost(const QString& name);
    // Before the current frame of a show of several goes alone to a file that holds one.
    bool ConfirmOneFrame();
    // Open of a file that starts with "ILDA": a show of several frames becomes the show, every
    // frame with its name, colours and blanking (a frame too long thinned, and said once); a
    // file of one frame comes in as an import does, asking about a frame too long. Failed when
    // nothing came in.
    LoadResult LoadIldaFile(const QString& name);
    // The save dialog proposes the kind of the current file: its filter and extension.
    void ProposeKind(const formats::KindInfo& kind);
    // What was last saved, opened or started with is what the editor holds now: the whole show,
    // or (not `whole`) the current frame alone, as a file of one frame holds it.
    void MarkSaved(bool whole = true);
    void ShowCaptionFor(const QString& name);
    void ShowFileError(const QString& text);
    editor::Show& show() { return editor_.document().show(); }
    const editor::Show& show() const { return editor_.document().show(); }
    // The show becomes one frame, the contour as it is (named `name`, from the file or not);
    // Undo brings back the show before, `before`, when either had several frames.
    void AdoptOneFrame(editor::Show::State before, const std::string& name, bool fromFile);

    editor::Editor& editor_;
    FileWindow& window_;
    model::ContourFileImage savedImage_{};
    std::vector<model::PointStyle> savedStyles_;
    // What was last saved, opened or started with, when it was a show of several frames.
    std::vector<model::Frame> savedFrames_;
    // The show (its absolute name) and the frame of it that Open took, when it has several:
    // Save to that file replaces the frame and keeps the rest of the show.
    std::optional<std::pair<QString, size_t>> showFrame_;
    QSet<QString> stylesLossAgreed_;
    // The show (its absolute name) that Open took only part of, and what it said about it:
    // overwriting it loses the rest, and the overwrite question says so.
    std::optional<std::pair<QString, QString>> openedInPart_;
};

}  // namespace window
