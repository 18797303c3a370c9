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
    // The button keeps its own look (icon, hint, no text): the action's are its menu item's.
    const QIcon icon = this->icon();
    const QString hint = toolTip();
    command->setEnabled(isEnabled());
    setDefaultAction(command);
    setIcon(icon);
    setText({});
    setToolTip(hint);
}

void SpeedButton::actionEvent(QActionEvent* event) {
    if (event->type() == QEvent::ActionChanged && event->action() == defaultAction()) {
        // Of a change of the command, only whether it can run, and whether it is on.
        setEnabled(defaultAction()->isEnabled());
        setCheckable(defaultAction()->isCheckable());
        setChecked(defaultAction()->isChecked());
        return;
    }
    QToolButton::actionEvent(event);
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
