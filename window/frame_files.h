// "Кадры из файлов…": frames made of several files at once, inserted after the current frame.
// Each file comes in as the command of its kind would take it: a contour or legacy file as its
// points, an SVG drawing at the pen's spacing with the SVG import's options, every frame of an
// ILDA show, a picture traced, every frame of an animated GIF traced. The pictures are all
// traced with one set of settings, asked once in the tracing dialog on the first of them.
#pragma once

#include <QStringList>
#include <functional>
#include <optional>

#include "pictures/svg_reader.h"
#include "tracing/tracer.h"
#include "window/command_window.h"
#include "window/frame_commands.h"

namespace window {

class FrameFiles {
  public:
    FrameFiles(CommandWindow& window, FrameCommands& frames,
               std::function<pictures::SvgOptions()> svgOptions);

    // The dialog of several files, then Insert.
    void ItemFramesFromFilesClick();
    // The files' frames after the current frame, the files in the order of their names
    // (numbers in them compared as numbers), the first new frame becoming the current one;
    // Undo takes them out again. A file that gives nothing is named with its reason, once all
    // are read; what had to be made to fit (a drawing at a wider spacing, a frame thinned) is
    // said then too. False when no frame came in.
    bool Insert(QStringList names);

    FileDialogSpec& OpenDialog() { return dialog_; }

  private:
    // The tracing settings for every picture, asked on the first that can be read; nothing
    // when the dialog is cancelled.
    struct TraceSettings {
        tracing::Options options;
        int spacing = 0;
    };
    std::optional<TraceSettings> AskTrace(const QStringList& pictures);

    CommandWindow& window_;
    FrameCommands& frames_;
    std::function<pictures::SvgOptions()> svgOptions_;
    FileDialogSpec dialog_;
};

}  // namespace window
