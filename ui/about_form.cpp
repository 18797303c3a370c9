#include "ui/about_form.h"

#include <QPalette>

namespace ui {

TAboutForm::TAboutForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("AboutForm"));
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(299, 206);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xDC, 0xC0));
    setPalette(pal);
    setAutoFillBackground(true);
}

}  // namespace ui
