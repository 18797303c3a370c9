// The main window's commands. Each is one QAction, shared by its menu item and its toolbar or
// palette button where it has both, and wired to its handler through this enumeration: the
// compiler joins a control to what it does, not a search by name. What the window builds is
// checked against the table below at start.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>

namespace window {

enum class Command {
    // The File menu.
    New,
    Open,
    Save,
    SaveAs,
    OpenImage,
    SaveImage,
    Import,
    Export,
    ExportIlda,
    ImportIlda,
    ImportSvg,
    Exit,
    // The Edit menu.
    Preview,
    Trace,
    Text,
    Laser,
    BlankPenJumps,
    // The Кадр menu.
    FrameNew,
    FrameDuplicate,
    FrameDelete,
    FrameInBetween,
    FramesFromFiles,
    FrameNext,
    FramePrevious,
    FrameFirst,
    FrameLast,
    FrameStrip,
    FrameNeighbours,
    // The Help menu, and the surface's menu.
    About,
    Undo,
    // Buttons of the toolbar and the palette without a menu item.
    Refresh,
    NormalDistance,
    Options,
    BeamColour,
    ShowPoints,
    ShowLine,
    ShowUnderlay,
    ShowGrid,
    Rotor,
    Rotate,
    Return128,
    MirrorVert,
    MirrorGor,
    Yu,
};
inline constexpr std::size_t kCommandCount = std::size_t(Command::Yu) + 1;

// The controls of a command, by the names the window gives them.
struct CommandControls {
    Command command;
    const char* action;  // the action's name: its menu item's, or its button's when it has none
    const char* button;  // the button that shares it; null when it is a menu item only
    bool inMenu;
};

// One row a command, in the order of the enumeration.
const std::array<CommandControls, kCommandCount>& CommandTable();

// What the window made of its commands, for the check.
struct BuiltCommand {
    bool handled = false;  // a handler is wired
    bool inMenu = false;   // the action is a menu item
    QString action;        // the action's name
    QString button;        // the name of the button that runs it; empty when none
};

// Each disagreement of what was built with the table, one line each ("Save: no handler").
QStringList WiringProblems(const std::array<BuiltCommand, kCommandCount>& built);

}  // namespace window
