#include "widgets/speed_button.h"

#include <QAction>
#include <QActionEvent>

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

void SpeedButton::share(QAction* command) {
    if (groupIndex_ != 0) {
        connect(this, &QToolButton::clicked, command, &QAction::trigger);
        return;
    }
    hint_ = toolTip();
    command->setEnabled(isEnabled());
    setDefaultAction(command);
    setToolTip(hint_);
}

void SpeedButton::actionEvent(QActionEvent* event) {
    QToolButton::actionEvent(event);
    if (event->action() == defaultAction()) {
        setToolTip(hint_);
    }
}

void SpeedButton::nextCheckState() {
    if (defaultAction() != nullptr) {
        // The click runs the shared action.
        QToolButton::nextCheckState();
        return;
    }
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
