// Program entry (placeholder until the main window exists).
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ondrava"));
    QLabel window(QStringLiteral("Ondrava"));
    window.setWindowTitle(QStringLiteral("Ondrava"));
    window.resize(477, 294);
    window.show();
    return app.exec();
}
