#include "window/preview_commands.h"

#include <QScreen>

#include "forms/preview_window.h"

namespace window {

void ShowWindow(QWidget* w) {
    if (w == nullptr) {
        return;
    }
    w->show();
    w->raise();
    w->activateWindow();
}

PreviewCommands::PreviewCommands(CommandWindow& window) : window_(window) {}

void PreviewCommands::SpeedButtonPreviewClick() {
    if (preview_ == nullptr) {
        // A top-level window owned by the main one; closing it only hides it.
        QWidget& main = window_.mainWindow();
        preview_ = new forms::TPreviewForm(window_.editor(), &main);
        // Beside the editor, as far as the screen allows.
        const QRect frame = main.frameGeometry();
        QPoint at(frame.right() + 8, frame.top());
        if (const QScreen* screen = main.screen()) {
            const QRect avail = screen->availableGeometry();
            at.setX(qMax(avail.left(), qMin(at.x(), avail.right() - preview_->width())));
        }
        preview_->move(at);
    }
    ShowWindow(preview_);
}

}  // namespace window
