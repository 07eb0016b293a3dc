// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayIcon.h"

#include "Program.h"
#include "ToolbarWindow.h"
#include "WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QEvent>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace kestrel {

namespace {

// The sizes panels ask for: 16 to 24 pixels on most, the larger ones on scaled screens.
constexpr int kPictureSides[] = {16, 22, 24, 32, 48, 64};
constexpr int kMostDigits = 999;
// How often the tray is looked for while the toolbar is hidden in it.
constexpr int kTrayCheckMilliseconds = 3000;
// The service through which trays of the StatusNotifierItem kind (KDE, Xfce, ...) take icons.
constexpr const char* kTrayWatcherService = "org.kde.StatusNotifierWatcher";

QPixmap DrawPicture(const QString& text, int side, const QPalette& palette)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor tile = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor ink = palette.color(QPalette::Active, QPalette::HighlightedText);
    if (text.isEmpty()) {
        // No count to show: an empty ring.
        const double pen = std::max(1.5, side / 8.0);
        painter.setPen(QPen(tile, pen));
        painter.setBrush(Qt::NoBrush);
        const double inset = pen / 2 + 1;
        painter.drawEllipse(QRectF(inset, inset, side - 2 * inset, side - 2 * inset));
        return pixmap;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(0, 0, side, side), side * 0.2, side * 0.2);
    painter.setPen(ink);
    const QFont font = TrayIconFont(text, side, QApplication::font());
    painter.setFont(font);
    // A text too long for the smallest readable size ("999+" at 16 pixels) is narrowed to fit.
    const double room = side - 2.0;
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > room) {
        painter.translate(side / 2.0, 0);
        painter.scale(room / width, 1);
        painter.translate(-side / 2.0, 0);
    }
    painter.drawText(QRectF(-side, 0, 3.0 * side, side), Qt::AlignCenter, text);
    return pixmap;
}

} // namespace

std::string TrayIconText(const CountdownBreakdown& countdown, bool passed)
{
    if (countdown.OutOfRange) {
        return {};
    }
    const int days = std::abs(static_cast<int>(countdown.TotalDays));
    std::string text = days > kMostDigits ? std::to_string(kMostDigits) + "+" : std::to_string(days);
    return passed ? "+" + text : text;
}

QFont TrayIconFont(const QString& text, int side, const QFont& base)
{
    QFont font = base;
    font.setBold(true);
    // Long counts are narrowed before they are made smaller.
    if (text.size() > 2) {
        font.setStretch(QFont::Condensed);
    }
    const double room = side - 2.0;
    // Smaller digits cannot be read at panel sizes: a longer text is narrowed instead.
    const int smallest = std::max(1, side * 9 / 16);
    for (int pixels = side * 4 / 5; pixels >= smallest; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(text) <= room) {
            break;
        }
    }
    return font;
}

QIcon TrayIconPicture(const QString& text, const QPalette& palette)
{
    QIcon icon;
    for (const int side : kPictureSides) {
        icon.addPixmap(DrawPicture(text, side, palette));
    }
    return icon;
}

bool TrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

ToolbarClose WhenToolbarCloses(bool keepRunningInTray, bool iconInTray)
{
    return keepRunningInTray && iconInTray ? ToolbarClose::HideToTray : ToolbarClose::EndProgram;
}

TrayIcon::TrayIcon(Program& program, ToolbarWindow& toolbar)
    : m_program(program), m_toolbar(toolbar), m_icon(new QSystemTrayIcon(this)), m_menu(std::make_unique<QMenu>()),
      m_trayCheck(new QTimer(this))
{
    // With the toolbar hidden in the tray, closing the last window left open must not end the
    // program: only "&Close" (and a logout) do, through the toolbar.
    QApplication::setQuitOnLastWindowClosed(false);
    m_menu->setObjectName(QStringLiteral("mnuTray"));
    buildMenu();
    // The menu goes to the tray with the icon, so it is set before the icon shows.
    m_icon->setContextMenu(m_menu.get());
    showCountdown();
    m_icon->show();
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) {
            toggleToolbar();
        }
    });
    m_toolbar.installEventFilter(this);
    showToolbarState();

    m_trayCheck->setInterval(kTrayCheckMilliseconds);
    connect(m_trayCheck, &QTimer::timeout, this, &TrayIcon::checkTray);
    // A tray of the StatusNotifierItem kind that ends is seen at once; any other kind by the
    // check every few seconds.
    auto* watcher = new QDBusServiceWatcher(QString::fromLatin1(kTrayWatcherService), QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &TrayIcon::checkTray);
    m_program.subscribe(this);
}

TrayIcon::~TrayIcon()
{
    m_program.unsubscribe(this);
    m_toolbar.removeEventFilter(this);
}

void TrayIcon::buildMenu()
{
    m_toolbarAction = m_menu->addAction(QStringLiteral("Hide &Toolbar"));
    m_toolbarAction->setObjectName(QStringLiteral("mnuTrayToolbar"));
    connect(m_toolbarAction, &QAction::triggered, this, &TrayIcon::toggleToolbar);
    m_menu->addSeparator();
    // The toolbar's own commands: the text, picture and check mark of each are set in one place.
    for (const WindowKind& kind : Windows()) {
        if (kind.button) {
            m_menu->addAction(m_toolbar.action(*kind.button));
        }
    }
    m_menu->addSeparator();
    m_menu->addAction(m_toolbar.action(Button::Close));
}

void TrayIcon::showCountdown()
{
    const CountdownBreakdown& countdown = m_program.countdown;
    bool passed = false;
    try {
        // A target that renews itself has passed only until it counts to next year.
        const DateValue now = GetPresentDate(m_program.clock);
        passed = !countdown.OutOfRange && TargetPassed(RenewedTarget(m_program.ProgramSettings, now), now);
    } catch (const RuntimeError&) {
        // A target the engine cannot count with shows as out of range already.
    }
    m_text = QString::fromStdString(TrayIconText(countdown, passed));
    const QPalette palette = QApplication::palette();
    // Drawn again only when the text or the desktop's colours change, not every second.
    const QString key = m_text + QLatin1Char('|') + palette.color(QPalette::Highlight).name() +
                        palette.color(QPalette::HighlightedText).name();
    if (key != m_pictureKey) {
        m_pictureKey = key;
        m_icon->setIcon(TrayIconPicture(m_text, palette));
    }
    const QString line = QString::fromStdString(countdown.Line);
    if (m_icon->toolTip() != line) {
        m_icon->setToolTip(line);
    }
}

bool TrayIcon::inTray() const
{
    return m_icon->isVisible() && TrayAvailable();
}

void TrayIcon::toggleToolbar()
{
    if (m_toolbar.hiddenInTray()) {
        m_toolbar.bringForward();
    } else {
        m_toolbar.hideToTray();
    }
}

void TrayIcon::showToolbarState()
{
    const bool hidden = m_toolbar.hiddenInTray();
    m_toolbarAction->setText(hidden ? QStringLiteral("Show &Toolbar") : QStringLiteral("Hide &Toolbar"));
    if (hidden) {
        m_trayCheck->start();
    } else {
        m_trayCheck->stop();
    }
}

void TrayIcon::checkTray()
{
    if (m_toolbar.hiddenInTray() && !TrayAvailable()) {
        emit trayLost();
    }
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_toolbar && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        showToolbarState();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kestrel
