// The yardstick for the panel's start-up: the smallest Qt Widgets program that shows a window.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.resize(521, 384);
    window.show();
    return app.exec();
}
