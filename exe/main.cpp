#include "Program.h"
#include "StatusLine.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The countdown for status bars needs no window toolkit: kestrel-status prints it.
    if (kestrel::WantsStatusOutput(argc, argv)) {
        return kestrel::HandOverStatusOutput(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setDesktopFileName(QStringLiteral("kestrel"));
    return kestrel::StartProgram(app);
}
