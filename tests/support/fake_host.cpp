#include "support/fake_host.h"

namespace testing_support {

void FakeHost::setStatusText(int panel, const QString& text) {
    if (panel >= 0 && panel < int(panels.size())) {
        panels[size_t(panel)] = text;
    }
    if (panel == editor::kPanelLength) {
        ++lengthWrites;
    }
    statusLog.emplace_back(panel, text);
}

void FakeHost::setUndoEnabled(bool enabled) {
    undoEnabled = enabled;
    undoLog.push_back(enabled);
}

}  // namespace testing_support
