// The yardstick for the start-up benchmark: an empty main window that quits after its first
// paint. Whatever Kestrel takes beyond this is the program's own.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

namespace {

class BareWindow : public QMainWindow
{
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QMainWindow::paintEvent(event);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    BareWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(245, 120);
    window.show();
    return app.exec();
}
