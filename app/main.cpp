// Quorinimage: the laser-show contour editor.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "convert/command_line.h"
#include "window/open_files.h"
#include "window/recovery.h"

int Quorinimage(int argc, char** argv) {
    QApplication application(argc, argv);
    // What is left once Qt has taken its own options: at most the file to open.
    const convert::WindowArguments arguments =
        convert::ParseWindowArguments(QApplication::arguments());
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr, "quorinimage: %s\nTry 'quorinimage --help' for more information.\n",
                     qPrintable(arguments.error));
        return convert::kExitUsage;
    }
    app::SetUpApplication(application);
    const auto windows = app::CreateWindows();
    windows->BaseForm->show();
    // Once the window is up: offer what an editor that did not close left behind, keep a copy
    // of this one's unsaved work, then open the file named on the command line.
    QTimer::singleShot(0, windows->BaseForm.get(), [&windows, file = arguments.file] {
        window::TBaseForm& form = *windows->BaseForm;
        auto keeper = std::make_unique<window::RecoveryKeeper>(
            form, std::make_unique<io::RecoveryStore>(window::DefaultRecoveryFolder()));
        keeper->Start();
        form.KeepRecovery(std::move(keeper));
        if (!file.isEmpty()) {
            window::OpenFile(form, file);
        }
    });
    return QApplication::exec();
}

// Help, version and conversion need no window: they run before any display is opened.
int WithoutWindow(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return convert::RunCommandLine(QCoreApplication::arguments(), out, err);
}

int main(int argc, char** argv) {
    if (convert::RunsWithoutWindow(argc, argv)) {
        return WithoutWindow(argc, argv);
    }
    return Quorinimage(argc, argv);
}
