// The file commands of the main window: New, Open, Save, Save As on the contour file, Import
// and Export of the legacy file, the closing question, and the four contour dialogs they use.
#pragma once

#include <QString>

#include "editor/editor.h"
#include "model/contour_file.h"
#include "window/dialogs.h"

namespace window {

// What the file commands need from the window around them.
class FileWindow {
  public:
    virtual ~FileWindow() = default;
    virtual Dialogs& fileDialogs() = 0;
    // Keeps captionFile as the file part of the caption and shows the whole caption.
    virtual void setCaptionFile(const QString& captionFile) = 0;
    // Enables SaveItem and SpeedButtonSave.
    virtual void enableSaveControls() = 0;
};

class FileCommands {
  public:
    FileCommands(editor::Editor& editor, FileWindow& window);

    // The dialogs. SaveDialogLaser's file name is the current file name.
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

    // Writes the contour file named by SaveDialogLaser; false after a failure, which it shows.
    bool SaveFileFigura();
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
    // Import with the file in place of the dialog's answer.
    void ImportLegacyFile(const QString& name);
    void ItemExportClick();

    // Whether the contour that would be saved differs from the one last saved, opened or
    // started with.
    bool HasUnsavedChanges() const;
    // The contour as Save would write it.
    model::ContourFileImage CurrentImage() const;
    // Takes back work kept for recovery: the contour from its file image, and the file it
    // belongs to (none when empty) as the current file. Save then proposes that file, and the
    // closing question compares with what that file holds now. False for an image that is not
    // a contour file, which changes nothing.
    bool Restore(const QByteArray& image, const QString& fileName, const QString& captionFile);
    // Asks about unsaved work before the window closes; true when it may close.
    bool QueryClose();

  private:
    // Open and Import once the file is named.
    void OpenNamed();
    void ImportNamed();
    enum class SaveOutcome { Cancelled, NotOverwritten, Written, Failed };
    // The save dialog, the overwrite question and the write.
    SaveOutcome AskAndSave();
    bool ConfirmOverwrite(const QString& name);
    void ShowCaptionFor(const QString& name);
    void ShowFileError(const QString& text);

    editor::Editor& editor_;
    FileWindow& window_;
    model::ContourFileImage savedImage_{};
};

}  // namespace window
