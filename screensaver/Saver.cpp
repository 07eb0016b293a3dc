// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Saver.h"

#include "SaverWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <optional>

namespace kestrel::saver {

namespace {

xcb_connection_t* X11Connection()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// The size of another program's window, asked of the X server (Qt does not know it); nothing
// when the window does not exist (any more).
std::optional<QSize> WindowSize(std::uint32_t window)
{
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) {
        return std::nullopt;
    }
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), &error);
    std::optional<QSize> size;
    if (reply != nullptr && error == nullptr) {
        size = QSize(reply->width, reply->height);
    }
    std::free(reply);
    std::free(error);
    return size;
}

std::uint32_t RootWindow()
{
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) {
        return 0;
    }
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

} // namespace

bool HostWindowExists(std::uint32_t window)
{
    return window == 0 || WindowSize(window).has_value();
}

Saver::Saver(SaverSettings settings, BreakdownStyle style, const Clock& clock, SaverCommand command,
             std::function<void()> end)
    : m_settings(std::move(settings)), m_style(std::move(style)), m_clock(clock), m_command(command),
      m_end(std::move(end))
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &Saver::tick);
    m_hostSizeTimer.setInterval(500);
    connect(&m_hostSizeTimer, &QTimer::timeout, this, &Saver::followHostSize);
}

Saver::~Saver()
{
    for (const QPointer<SaverWindow>& window : m_windows) {
        delete window.data();
    }
}

void Saver::start()
{
    if (m_command.mode == SaverCommand::Mode::IntoWindow) {
        openInHostWindow();
    } else {
        openOnEveryScreen();
    }
    tick();
}

void Saver::openOnEveryScreen()
{
    for (QScreen* screen : QGuiApplication::screens()) {
        auto* window = new SaverWindow(m_settings, m_style, &m_counter, m_end);
        window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        window->setGeometry(screen->geometry());
        window->showFullScreen();
        if (window->windowHandle() != nullptr) {
            window->windowHandle()->setScreen(screen);
        }
        window->setGeometry(screen->geometry());
        m_windows.emplace_back(window);
    }
    if (!m_windows.empty()) {
        m_windows.front()->activateWindow();
        m_windows.front()->raise();
        // Every key ends the screensaver, wherever the keyboard focus was before it started.
        m_windows.front()->grabKeyboard();
    }
}

void Saver::openInHostWindow()
{
    // Drawn inside the host's window: no window of our own, no input taken, and the host ends
    // the program.
    const std::uint32_t hostId = m_command.window != 0 ? m_command.window : RootWindow();
    m_host = QWindow::fromWinId(hostId);
    auto* window = new SaverWindow(m_settings, m_style, nullptr, m_end);
    window->setAttribute(Qt::WA_NativeWindow);
    window->winId();
    window->windowHandle()->setParent(m_host);
    const QSize size = WindowSize(hostId).value_or(QSize());
    window->setGeometry(QRect(QPoint(0, 0), size.isEmpty() ? QSize(1, 1) : size));
    window->show();
    m_windows.emplace_back(window);
    m_hostSizeTimer.start();
}

void Saver::followHostSize()
{
    if (m_windows.empty() || m_windows.front().isNull()) {
        return;
    }
    const std::uint32_t hostId = m_command.window != 0 ? m_command.window : RootWindow();
    const std::optional<QSize> size = WindowSize(hostId);
    if (!size) {
        // The host's window is gone, and with it ours: nothing is left to draw into.
        m_hostSizeTimer.stop();
        m_end();
        return;
    }
    if (!size->isEmpty() && *size != m_windows.front()->size()) {
        m_windows.front()->setGeometry(QRect(QPoint(0, 0), *size));
    }
}

void Saver::tick()
{
    const std::optional<CountdownBreakdown> breakdown = SaverCountdown(GetPresentDate(m_clock), m_settings);
    const BreakdownColumns columns = SaverColumns(m_settings, breakdown);
    for (const QPointer<SaverWindow>& window : m_windows) {
        if (window) {
            window->ShowColumns(columns);
        }
    }
    // For the years-only format the count computed at start stays on the screen.
    if (breakdown && !breakdown->KeepTicking) {
        m_timer.stop();
    } else if (!m_timer.isActive()) {
        m_timer.start();
    }
}

} // namespace kestrel::saver
