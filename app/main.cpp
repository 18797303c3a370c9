// Quorinimage: the laser-show contour editor.
#include <QApplication>

#include "app/application.h"

int Quorinimage(int argc, char** argv) {
    QApplication application(argc, argv);
    app::SetUpApplication(application);
    const auto windows = app::CreateWindows();
    windows->BaseForm->show();
    return QApplication::exec();
}

int main(int argc, char** argv) {
    return Quorinimage(argc, argv);
}
