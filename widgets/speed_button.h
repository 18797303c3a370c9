// A flat button of the palette or the toolbar. Buttons of one parent with the same group
// index are exclusive: putting one down raises the others. A toggle may also be raised by a
// second click; a group button that is not a toggle stays down when clicked again; a button
// of group 0 is a plain button with no down state.
#pragma once

#include <QToolButton>

namespace widgets {

class SpeedButton : public QToolButton {
    Q_OBJECT
  public:
    SpeedButton(QWidget* parent, int groupIndex, bool allowAllUp);

    int groupIndex() const { return groupIndex_; }
    bool isDown() const { return isChecked(); }
    // Puts the button down or up as a click would, raising the group's others, without
    // running its click handler.
    void setDown(bool down);
    // Runs `command` when clicked. A plain button shares it as its action: it is enabled and
    // disabled with it and with the menu item that shows it too, while keeping its own hint.
    // A button of a group keeps its own down state and triggers the action when clicked.
    void share(QAction* command);

  protected:
    void nextCheckState() override;
    void actionEvent(QActionEvent* event) override;

  private:
    void raiseOthers();

    int groupIndex_;
    bool allowAllUp_;
};

}  // namespace widgets
