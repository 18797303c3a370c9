#include "app/application.h"

#include <QFont>
#include <QPalette>

#include "editor/colors.h"
#include "window/open_files.h"

namespace app {

void SetUpApplication(QApplication& application) {
    application.setApplicationName(QStringLiteral("quorinimage"));
    // The application id the installed launcher, icon and metainfo are named by.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.quorinimage"));
    // The editor's 8-point sans serif, which at 96 dots per inch is 11 pixels. The windows are
    // laid out in pixels, so the font is sized in pixels too and keeps fitting them at any
    // dot density. Liberation Sans carries the Cyrillic glyphs (DejaVu Sans stands in where it
    // is missing) but sets wider than the original face; semi-condensed it fits every caption
    // in its control, "Отменить последние изменения" in its 161-pixel button among them.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    font.setStretch(QFont::SemiCondensed);
    application.setFont(font);
    // Window background in button face, the same value the surface clears to.
    QPalette pal = application.palette();
    const QColor face = QColor::fromRgb(editor::ResolveColor(editor::clBtnFace));
    pal.setColor(QPalette::Window, face);
    pal.setColor(QPalette::Button, face);
    application.setPalette(pal);
    // Every pointer move the window system delivers reaches the tools. Qt would otherwise merge
    // the moves that queue up while the editor is busy into the last of them, and the pen, which
    // takes a point each time the pointer is more than its spacing from the last one, would draw
    // a stroke with fewer points on a loaded machine than on an idle one. Set here, once the
    // application exists: the X11 platform turns merging on as it starts.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
}

std::unique_ptr<Windows> CreateWindows() {
    auto w = std::make_unique<Windows>();
    w->BaseForm = std::make_unique<window::TBaseForm>(w->settings);
    w->OptionForm = std::make_unique<forms::TOptionForm>(w->settings, w->BaseForm->editor());
    w->AboutForm = std::make_unique<forms::TAboutForm>();
    w->BaseForm->setOptionForm(w->OptionForm.get());
    w->BaseForm->setAboutForm(w->AboutForm.get());
    window::AcceptFileDrops(*w->BaseForm, w->BaseForm->opener());
    return w;
}

}  // namespace app
