#include <QApplication>

#include "app/MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window lives until the event loop has returned, so its GDI+ session is ended only
    // after every command has left its handler.
    MainWindow window;
    window.show();
    return app.exec();
}
