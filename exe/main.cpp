#include "Program.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setDesktopFileName(QStringLiteral("kestrel"));
    return kestrel::StartProgram(app);
}
