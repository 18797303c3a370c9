// The preview pane of the picture dialogs: the selected picture as the underlay would show it.
#pragma once

class QFileDialog;

namespace window {

// Adds a pane to the right of a (non-native) file dialog that shows the current file.
void AddPicturePreview(QFileDialog& dialog);

}  // namespace window
