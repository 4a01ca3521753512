#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dovrelle 4.0"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Dovrelle 4.0"));
    window.show();
    return app.exec();
}
