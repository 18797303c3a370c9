// What every fuzz harness shares: a Qt GUI application on the offscreen platform, made once,
// and an editor with its own drawing surface, so that a harness runs a file through the same
// code that a command of the window runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "editor/editor.h"
#include "editor/host.h"
#include "editor/settings.h"

namespace fuzzing {

// A window that shows nothing and keeps the view toggles at their start-up states.
class NullHost : public editor::EditorHost {
  public:
    void setStatusText(int, const QString&) override {}
    void setUndoEnabled(bool) override {}
    void setCursorShape(editor::CursorShape) override {}
    void surfaceChanged(const QRect&) override {}
    bool lineShown() const override { return true; }
    bool pointsShown() const override { return true; }
    bool gridShown() const override { return grid; }
    bool directHook() const override { return false; }
    void setDirectHook(bool) override {}

    bool grid = false;
};

// A fresh editor per input, so that no input depends on the ones before it.
struct Session {
    NullHost host;
    editor::EditorSettings settings;
    editor::Editor editor{host, settings};
};

// Runs one of the whole-contour commands of the palette and toolbar on what was loaded, with
// the repaint it ends with, then Undo, as a user would after opening a damaged file. Which
// one comes from the input, so that every command meets every kind of contour without
// repainting each input eight times.
void RunContourCommand(editor::Editor& editor, std::span<const uint8_t> input);

// Stops the run with a report when a property that must hold for every input fails.
void Require(bool condition, const char* what);

inline std::span<const uint8_t> Bytes(const uint8_t* data, size_t size) {
    return {data, size};
}

}  // namespace fuzzing

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
