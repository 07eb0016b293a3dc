// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpViewer.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace kestrel {

namespace {

const QString kNotFoundPage = QStringLiteral("<h2>Kestrel Help</h2>"
                                             "<p>The help file Kestrel.HLP was not found, "
                                             "so help is not available.</p>");

} // namespace

HelpViewer::~HelpViewer()
{
    delete m_window.data();
}

QWidget* HelpViewer::window() const
{
    // A closed viewer is deleted later, from the event loop; it is gone for the program at once.
    return m_window && m_window->isVisible() ? m_window.data() : nullptr;
}

void HelpViewer::WinHelp(const QString& helpFile, Command command)
{
    if (command == Quit) {
        if (m_window) {
            m_window->close();
            delete m_window.data();
        }
        return;
    }

    if (!window()) {
        delete m_window.data(); // one closed by the user and not yet deleted
        auto* viewer = new QWidget(nullptr, Qt::Window);
        viewer->setObjectName(QStringLiteral("helpViewer"));
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->setWindowTitle(QStringLiteral("Kestrel Help"));

        m_browser = new QTextBrowser(viewer);
        m_browser->setObjectName(QStringLiteral("helpText"));
        m_browser->setOpenExternalLinks(true);
        m_browser->setAccessibleName(QStringLiteral("Kestrel Help"));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, viewer);
        buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Close"));
        QObject::connect(buttons, &QDialogButtonBox::rejected, viewer, &QWidget::close);
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), viewer);
        QObject::connect(escape, &QShortcut::activated, viewer, &QWidget::close);

        auto* layout = new QVBoxLayout(viewer);
        layout->addWidget(m_browser, 1);
        layout->addWidget(buttons);
        // Opens with room for a page of text in the desktop's font, within the screen.
        const QFontMetrics metrics = m_browser->fontMetrics();
        QSize opening(metrics.averageCharWidth() * 90, metrics.lineSpacing() * 36);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            opening = opening.boundedTo(screen->availableSize() * 0.9);
        }
        viewer->resize(opening);
        m_window = viewer;
    }

    const QFileInfo file(helpFile);
    if (helpFile.isEmpty() || !file.isFile() || !file.isReadable()) {
        m_browser->setHtml(kNotFoundPage);
    } else {
        // Read afresh each time, so a help file replaced while the viewer is open shows as it is now.
        const QUrl source = QUrl::fromLocalFile(file.absoluteFilePath());
        if (m_browser->source() == source) {
            m_browser->reload();
        } else {
            m_browser->setSource(source, QTextDocument::HtmlResource);
        }
    }
    m_browser->verticalScrollBar()->setValue(0);
    m_browser->horizontalScrollBar()->setValue(0);

    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace kestrel
