// A window stand-in for driving the editor without widgets.
#pragma once

#include <QString>
#include <array>
#include <vector>

#include "editor/editor.h"
#include "editor/host.h"

namespace testing_support {

class FakeHost : public editor::EditorHost {
  public:
    void setStatusText(int panel, const QString& text) override;
    void setUndoEnabled(bool enabled) override;
    void setCursorShape(editor::CursorShape shape) override { cursor = shape; }
    void surfaceChanged(const QRect& rect) override { changed |= rect; }
    bool lineShown() const override { return line; }
    bool pointsShown() const override { return points; }
    bool gridShown() const override { return grid; }
    bool directHook() const override { return hook; }
    void setDirectHook(bool down) override { hook = down; }

    std::array<QString, 6> panels;
    std::vector<std::pair<int, QString>> statusLog;  // every write, in order
    int lengthWrites = 0;                            // writes to the length panel
    std::vector<bool> undoLog;                       // every enable / disable, in order
    bool undoEnabled = false;
    editor::CursorShape cursor = editor::CursorShape::Arrow;
    QRect changed;
    bool line = true;
    bool points = true;
    bool grid = false;
    bool hook = false;
};

// An editor on a fake host with default settings.
struct EditorFixture {
    FakeHost host;
    editor::EditorSettings settings;
    editor::Editor editor{host, settings};
};

}  // namespace testing_support
