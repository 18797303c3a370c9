// The editor's mouse tools, one per tool mode.
#pragma once

#include <memory>
#include <vector>

#include "editor/tool.h"

namespace editor {

class Editor;

// Creates the tools and installs each for its mode; the returned objects must outlive their
// use by the editor.
std::vector<std::unique_ptr<Tool>> InstallTools(Editor& editor);

}  // namespace editor
