#include "widgets/speed_button.h"

namespace widgets {

SpeedButton::SpeedButton(QWidget* parent, int groupIndex, bool allowAllUp)
    : QToolButton(parent), groupIndex_(groupIndex), allowAllUp_(allowAllUp) {
    setCheckable(groupIndex_ != 0);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void SpeedButton::raiseOthers() {
    if (parentWidget() == nullptr) {
        return;
    }
    const auto siblings = parentWidget()->findChildren<SpeedButton*>(Qt::FindDirectChildrenOnly);
    for (SpeedButton* b : siblings) {
        if (b != this && b->groupIndex_ == groupIndex_) {
            b->QToolButton::setChecked(false);
        }
    }
}

void SpeedButton::setDown(bool down) {
    if (groupIndex_ == 0) {
        return;
    }
    if (down) {
        raiseOthers();
    }
    setChecked(down);
}

void SpeedButton::nextCheckState() {
    if (groupIndex_ == 0) {
        return;
    }
    if (!isChecked()) {
        setDown(true);
    } else if (allowAllUp_) {
        setChecked(false);
    }
}

}  // namespace widgets
