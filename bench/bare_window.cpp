// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the start-up benchmark: an empty main window that quits after its first
// paint. Whatever Kestrel takes beyond this is the program's own. With "--text" the window shows
// one line of text, which costs the loading of the desktop's fonts that any window with words in
// it pays, and the empty window does not.
#include <QApplication>
#include <QLabel>
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
    if (app.arguments().contains(QStringLiteral("--text"))) {
        window.setCentralWidget(new QLabel(QStringLiteral("Today is: Dec 30, 1999 15:20:45")));
    }
    window.show();
    return app.exec();
}
