// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CountdownDisplay.h"

#include <QFont>
#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QAction;
class QMenu;
class QPalette;
class QSystemTrayIcon;
class QTimer;

namespace kestrel {

struct CountdownBreakdown;
struct Program;
class ToolbarWindow;

// What the tray icon says for a count: the whole days left, up to three digits ("999+" beyond);
// once the target has passed, "+" and the days since it, by the same rule ("+4", "+999+"). Empty
// when the count is out of range: the icon then shows an empty ring.
std::string TrayIconText(const CountdownBreakdown& countdown, bool passed);

// The largest bold font in which `text` fits an icon `side` pixels wide with a pixel to spare each
// side, but not smaller than about half the icon's height (the picture narrows a longer text).
QFont TrayIconFont(const QString& text, int side, const QFont& base);

// The tray icon's picture of a text from TrayIconText, drawn for each size panels ask for (16 to
// 64 pixels) in the palette's highlight colours, so that it follows light and dark desktops.
QIcon TrayIconPicture(const QString& text, const QPalette& palette);

// Whether the desktop has a tray to show an icon in now.
bool TrayAvailable();

// What closing the toolbar does: end the program, or, with "Keep running in the tray when the
// toolbar is closed" on and the icon in a tray at that moment, hide the toolbar.
enum class ToolbarClose
{
    EndProgram,
    HideToTray,
};
ToolbarClose WhenToolbarCloses(bool keepRunningInTray, bool iconInTray);

// The count in the panel's tray for this running kestrel: the days left drawn into the icon, the
// countdown line as its tooltip (both refreshed on the tick) and a menu that shows or hides the
// toolbar, opens each window of the toolbar and ends the program. A click on the icon shows or
// hides the toolbar. While the toolbar is hidden it watches the tray, and says when it goes.
class TrayIcon final : public QObject, public CountdownDisplay
{
    Q_OBJECT
public:
    TrayIcon(Program& program, ToolbarWindow& toolbar);
    ~TrayIcon() override;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void showCountdown() override;
    void redraw() override { showCountdown(); }

    // The icon is shown and the desktop has a tray for it.
    bool inTray() const;
    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu.get(); }
    // The menu's first item: "Show &Toolbar" while the toolbar is hidden, "Hide &Toolbar" otherwise.
    QAction* toolbarAction() const { return m_toolbarAction; }
    // The text drawn into the icon now.
    const QString& shownText() const { return m_text; }

signals:
    // The tray went away while the toolbar was hidden in it.
    void trayLost();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void toggleToolbar();
    void showToolbarState();
    void checkTray();

    Program& m_program;
    ToolbarWindow& m_toolbar;
    QSystemTrayIcon* m_icon;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_toolbarAction = nullptr;
    // Looks for the tray every few seconds while the toolbar is hidden.
    QTimer* m_trayCheck;
    QString m_text;
    QString m_pictureKey;
};

} // namespace kestrel
