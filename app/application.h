// Program start-up: the application object's look and the windows in their creation order.
#pragma once

#include <QApplication>
#include <functional>
#include <memory>

#include "editor/settings.h"
#include "forms/about_form.h"
#include "forms/option_form.h"
#include "window/base_form.h"

namespace app {

// Font, palette and other process-wide look and input of the editor; call once after
// QApplication.
void SetUpApplication(QApplication& application);

// The three windows of a running editor, created main window first, then the settings
// window, then the about window; only the main window is shown by the caller.
struct Windows {
    editor::EditorSettings settings;
    std::unique_ptr<window::TBaseForm> BaseForm;
    std::unique_ptr<forms::TOptionForm> OptionForm;
    std::unique_ptr<forms::TAboutForm> AboutForm;
};

std::unique_ptr<Windows> CreateWindows();
// The same in two steps: the main window alone, so that it reaches the screen sooner, then the
// settings and about windows (before the user can reach a control that opens them).
std::unique_ptr<Windows> CreateMainWindow();
void CreateOtherWindows(Windows& windows);

// Runs `then` from the event loop once `window`, just shown, is on the screen (or a second
// later, where the platform does not say): what can wait does not hold the window back.
void WhenShown(QWidget& window, std::function<void()> then);

}  // namespace app
