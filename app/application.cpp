#include "app/application.h"

#include <QEvent>
#include <QFont>
#include <QPalette>
#include <QTimer>
#include <QWindow>

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

std::unique_ptr<Windows> CreateMainWindow() {
    auto w = std::make_unique<Windows>();
    w->BaseForm = std::make_unique<window::TBaseForm>(w->settings);
    window::AcceptFileDrops(*w->BaseForm, w->BaseForm->opener());
    return w;
}

void CreateOtherWindows(Windows& w) {
    w.OptionForm = std::make_unique<forms::TOptionForm>(w.settings, w.BaseForm->editor());
    w.AboutForm = std::make_unique<forms::TAboutForm>();
    w.BaseForm->setOptionForm(w.OptionForm.get());
    w.BaseForm->setAboutForm(w.AboutForm.get());
}

std::unique_ptr<Windows> CreateWindows() {
    auto w = CreateMainWindow();
    CreateOtherWindows(*w);
    return w;
}

namespace {

// Watches the window for its first exposure; runs the work once, from the event loop.
class FirstExposure : public QObject {
  public:
    FirstExposure(QWidget& window, std::function<void()> then)
        : QObject(&window), then_(std::move(then)) {
        if (QWindow* handle = window.windowHandle()) {
            handle->installEventFilter(this);
        }
        QTimer::singleShot(1000, this, [this] { Run(); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            QTimer::singleShot(0, this, [this] { Run(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void Run() {
        if (then_) {
            const std::function<void()> then = std::move(then_);
            then_ = nullptr;
            deleteLater();
            then();
        }
    }

    std::function<void()> then_;
};

}  // namespace

void WhenShown(QWidget& window, std::function<void()> then) {
    new FirstExposure(window, std::move(then));
}

}  // namespace app
