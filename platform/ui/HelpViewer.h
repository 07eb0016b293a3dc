// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>

class QWidget;
class QTextBrowser;

namespace kestrel {

// The help viewer: a small window that shows the HTML help file. The program opens it at the
// contents and tells it to close when the program ends.
class HelpViewer
{
public:
    enum Command
    {
        Quit = 2,
        Contents = 3,
    };

    ~HelpViewer();

    // Carries out a help command for a help file: Contents opens the viewer at the top of the
    // file (or brings it forward); Quit closes it. An empty or missing file shows a short page
    // saying that help is not available.
    void WinHelp(const QString& helpFile, Command command);

    // The viewer window while it is open; null otherwise.
    QWidget* window() const;

private:
    QPointer<QWidget> m_window;
    QTextBrowser* m_browser = nullptr;
};

} // namespace kestrel
