#include "ui/option_form.h"

namespace ui {

TOptionForm::TOptionForm(editor::EditorSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings) {
    setObjectName(QStringLiteral("OptionForm"));
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("OptionForm"));
    setGeometry(187, 107, 510, 301);
}

}  // namespace ui
