// The yardsticks for the panel's start-up: the smallest Qt Widgets program that shows a
// window, and with "label" the same window showing one line of Japanese text, which makes
// Qt load its font database as every window with text must.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    const bool label = argc > 1 && QByteArray(argv[1]) == "label";
    window.setWindowTitle(label ? QStringLiteral("minimal label") : QStringLiteral("minimal"));
    window.resize(521, 384);
    if (label)
        new QLabel(QStringLiteral("カウントダウンＬＥＤ表示器"), &window);
    window.show();
    return app.exec();
}
