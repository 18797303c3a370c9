#include "window/commands.h"

namespace window {

const std::array<CommandControls, kCommandCount>& CommandTable() {
    using C = Command;
    static constexpr std::array<CommandControls, kCommandCount> kTable = {{
        {C::New, "FileNewItem", "SpeedButtonNewPict", true},
        {C::Open, "OpenFileItem", "SpeedButtonOpenLaser", true},
        {C::Save, "SaveItem", "SpeedButtonSave", true},
        {C::SaveAs, "SaveAsItem", nullptr, true},
        {C::OpenImage, "ItemOpenImage", "SpeedButtonOpenImage", true},
        {C::SaveImage, "ItemSaveImage", "SpeedButtonSavePikture", true},
        {C::Import, "ItemImport", nullptr, true},
        {C::Export, "ItemExport", nullptr, true},
        {C::ExportIlda, "ItemExportIlda", nullptr, true},
        {C::ImportIlda, "ItemImportIlda", nullptr, true},
        {C::ImportSvg, "ItemImportSvg", nullptr, true},
        {C::Exit, "ItemExit", nullptr, true},
        {C::Preview, "PreviewItem", "SpeedButtonPreview", true},
        {C::Trace, "ItemTrace", "SpeedButtonTrace", true},
        {C::Text, "ItemText", "SpeedButtonText", true},
        {C::Laser, "LaserItem", "SpeedButtonLaser", true},
        {C::BlankPenJumps, "ItemBlankPenJumps", nullptr, true},
        {C::FrameNew, "ItemFrameNew", nullptr, true},
        {C::FrameDuplicate, "ItemFrameDuplicate", nullptr, true},
        {C::FrameDelete, "ItemFrameDelete", nullptr, true},
        {C::FrameInBetween, "ItemFrameInBetween", nullptr, true},
        {C::FramesFromFiles, "ItemFramesFromFiles", nullptr, true},
        {C::FrameNext, "ItemFrameNext", nullptr, true},
        {C::FramePrevious, "ItemFramePrevious", nullptr, true},
        {C::FrameFirst, "ItemFrameFirst", nullptr, true},
        {C::FrameLast, "ItemFrameLast", nullptr, true},
        {C::FrameStrip, "ItemFrameStrip", nullptr, true},
        {C::FrameNeighbours, "ItemFrameNeighbours", nullptr, true},
        {C::About, "ItemAbout", "SpeedButtonAbout", true},
        {C::Undo, "OtkatItem", "SpeedButtonUndo", true},
        {C::Refresh, "SpeedButtonRefresh", "SpeedButtonRefresh", false},
        {C::NormalDistance, "SpeedButtonNormalDistance", "SpeedButtonNormalDistance", false},
        {C::Options, "SpeedButtonOptionForm", "SpeedButtonOptionForm", false},
        {C::BeamColour, "SpeedButtonBeamColour", "SpeedButtonBeamColour", false},
        {C::ShowPoints, "SpeedButtonPaintPixel", "SpeedButtonPaintPixel", false},
        {C::ShowLine, "SpeedButtonPaintLine", "SpeedButtonPaintLine", false},
        {C::ShowUnderlay, "SpeedButtonPictureON", "SpeedButtonPictureON", false},
        {C::ShowGrid, "SpeedButtonSetkaON", "SpeedButtonSetkaON", false},
        {C::Rotor, "SpeedButtonRotor", "SpeedButtonRotor", false},
        {C::Rotate, "SpeedButtonRotate", "SpeedButtonRotate", false},
        {C::Return128, "SpeedButtonReturn128", "SpeedButtonReturn128", false},
        {C::MirrorVert, "SpeedButtonMirrorVert", "SpeedButtonMirrorVert", false},
        {C::MirrorGor, "SpeedButtonMirrorGor", "SpeedButtonMirrorGor", false},
        {C::Yu, "SpeedButtonYu", "SpeedButtonYu", false},
    }};
    return kTable;
}

QStringList WiringProblems(const std::array<BuiltCommand, kCommandCount>& built) {
    QStringList problems;
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        const CommandControls& want = CommandTable()[i];
        const BuiltCommand& got = built[i];
        const QString name = QString::fromUtf8(want.action);
        if (std::size_t(want.command) != i) {
            problems << name + QStringLiteral(": out of its place in the table");
        }
        if (!got.handled) {
            problems << name + QStringLiteral(": no handler");
        }
        if (got.action != name) {
            problems << name + QStringLiteral(": the action is named \"%1\"").arg(got.action);
        }
        if (want.inMenu && !got.inMenu) {
            problems << name + QStringLiteral(": not in its menu");
        }
        const QString button = want.button != nullptr ? QString::fromUtf8(want.button) : QString();
        if (got.button != button) {
            problems << name + (button.isEmpty()
                                    ? QStringLiteral(": a button \"%1\" runs it").arg(got.button)
                                    : QStringLiteral(": no button \"%1\"").arg(button));
        }
    }
    return problems;
}

}  // namespace window
