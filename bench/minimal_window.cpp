// The yardstick of the start-up benchmark: the smallest Qt 6 Widgets program that shows what
// an editor's window shows at first, a menu bar, a text and a status line.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Файл"))->addAction(QStringLiteral("Открыть"));
    window.setCentralWidget(new QLabel(QStringLiteral("Окно")));
    window.statusBar()->showMessage(QStringLiteral("Готово"));
    window.resize(487, 480);
    window.show();
    return QApplication::exec();
}
