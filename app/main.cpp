// Quorinimage: the laser-show contour editor.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/application.h"
#include "app/language.h"
#include "convert/command_line.h"
#include "editor/settings_file.h"
#include "window/open_files.h"
#include "window/output_memory.h"
#include "window/recovery.h"

namespace {

// Without a display Qt ends the program from inside the application's constructor: notes on
// the way, then a fatal message and an abort. While it is made the notes are held back, and
// the fatal message gives way to what the arguments ask without a window.
struct Starting {
    int* argc = nullptr;
    char** argv = nullptr;
    QtMessageHandler qt = nullptr;
    std::vector<std::pair<QtMsgType, QString>> held;
} starting;

void WhileStarting(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) {
        starting.held.emplace_back(type, text);
        return;
    }
    // The application object is far enough made for the texts' language.
    app::UseLanguage(app::StartLanguage(editor::DefaultSettingsFile()));
    QStringList arguments;
    for (int i = 0; i < *starting.argc; ++i) {
        arguments << QString::fromLocal8Bit(starting.argv[i]);
    }
    QTextStream err(stderr);
    const int status = convert::RefuseWithoutDisplay(arguments, err);
    err.flush();
    // Nothing of the half-made application is cleaned up.
    std::_Exit(status);
}

}  // namespace

int Quorinimage(int argc, char** argv) {
    starting = {&argc, argv, qInstallMessageHandler(WhileStarting), {}};
    QApplication application(argc, argv);
    qInstallMessageHandler(starting.qt);
    for (const auto& [type, text] : starting.held) {
        if (starting.qt != nullptr) {
            starting.qt(type, QMessageLogContext(), text);
        }
    }
    // The language of every text from here on, the usage error's among them.
    const QString settingsFile = editor::DefaultSettingsFile();
    app::UseLanguage(app::StartLanguage(settingsFile));
    // What is left once Qt has taken its own options: at most the file to open.
    const convert::WindowArguments arguments =
        convert::ParseWindowArguments(QApplication::arguments());
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate(
                                    "quorinimage", "quorinimage: %1\nПодробнее: quorinimage --help")
                                    .arg(arguments.error)));
        return convert::kExitUsage;
    }
    app::SetUpApplication(application);
    const auto windows = app::CreateMainWindow();
    // The projector's device and zone as they were last time.
    windows->BaseForm->KeepOutputSettings(window::DefaultOutputMemoryFile());
    windows->BaseForm->show();
    // Once the window is on the screen: offer what an editor that did not close left behind,
    // keep a copy of this one's unsaved work, then open the file named on the command line.
    app::WhenShown(*windows->BaseForm, [&windows, &settingsFile, file = arguments.file] {
        app::CreateOtherWindows(*windows);
        // The language chosen in the settings window is kept for the next start.
        windows->OptionForm->KeepLanguage(settingsFile);
        window::TBaseForm& form = *windows->BaseForm;
        auto keeper = std::make_unique<window::RecoveryKeeper>(
            form.fileCommands(), form,
            std::make_unique<io::RecoveryStore>(window::DefaultRecoveryFolder()));
        keeper->Start();
        form.KeepRecovery(std::move(keeper));
        if (!file.isEmpty()) {
            form.opener().OpenFile(file);
        }
    });
    return QApplication::exec();
}

// Help, version and conversion need no window: they run before any display is opened.
int WithoutWindow(int argc, char** argv) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (convert::Converts(argc, argv)) {
        // Drawings and pictures are read through Qt Gui (an SVG's text needs its fonts), on
        // the platform that draws into memory only.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Standard error carries the conversion's own lines only, not Qt's notes about the
        // platform it starts on; Qt's critical and fatal messages still come through.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) {
                std::fprintf(stderr, "quorinimage: %s\n", qPrintable(text));
            }
        });
        QGuiApplication application(argc, argv);
        app::UseLanguage(app::StartLanguage(editor::DefaultSettingsFile()));
        return convert::RunCommandLine(QCoreApplication::arguments(), out, err);
    }
    QCoreApplication application(argc, argv);
    app::UseLanguage(app::StartLanguage(editor::DefaultSettingsFile()));
    return convert::RunCommandLine(QCoreApplication::arguments(), out, err);
}

int main(int argc, char** argv) {
    if (convert::RunsWithoutWindow(argc, argv)) {
        return WithoutWindow(argc, argv);
    }
    return Quorinimage(argc, argv);
}
