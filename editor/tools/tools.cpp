#include "editor/tools/tools.h"

#include "editor/editor.h"
#include "editor/tools/frame_tools.h"
#include "editor/tools/pen.h"
#include "editor/tools/point_tools.h"
#include "editor/tools/style_tools.h"

namespace editor {

std::vector<std::unique_ptr<Tool>> InstallTools(Editor& editor) {
    std::vector<std::unique_ptr<Tool>> tools;
    const auto add = [&](int mode, std::unique_ptr<Tool> tool) {
        editor.setTool(mode, tool.get());
        tools.push_back(std::move(tool));
    };
    add(model::tmPen, std::make_unique<tools::PenTool>(editor));
    add(model::tmKontur, std::make_unique<tools::KonturTool>(editor));
    add(model::tmMove, std::make_unique<tools::MoveTool>(editor));
    add(model::tmCentr, std::make_unique<tools::CentrTool>(editor));
    add(model::tmEditPoint, std::make_unique<tools::EditPointTool>(editor));
    add(model::tmHotPoint, std::make_unique<tools::HotPointTool>(editor));
    add(model::tmKnife, std::make_unique<tools::KnifeTool>(editor));
    add(model::tmEraser, std::make_unique<tools::EraserTool>(editor));
    add(model::tmBlank, std::make_unique<tools::BlankTool>(editor));
    add(model::tmColourBrush, std::make_unique<tools::ColourBrushTool>(editor));
    return tools;
}

}  // namespace editor
