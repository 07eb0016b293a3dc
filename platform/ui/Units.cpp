// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Units.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrel {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// The logical dots per inch of the primary screen; 96 when there is no screen at all.
double LogicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 0.0;
    return dpi > 0.0 ? dpi : 96.0;
}

QRect PrimaryAvailableGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

// The height of a window manager's title strip above a window that is not shown yet.
constexpr int kTitleStripHeight = 32;
// How much of a window must lie on a screen for the user to reach and use it.
constexpr int kUsefulWidth = 120;
constexpr int kUsefulHeight = 80;

// Whether a window's frame lies well enough on a screen: its title strip wholly inside the
// screen's height (so the menu bar and the strip to drag it by are not above the screen) with a
// useful width of it on the screen, and a useful part of the window (or all of a smaller one).
bool ReachableOnScreen(const QRect& frame, const QRect& screen)
{
    const QRect strip(frame.left(), frame.top(), frame.width(), std::min(frame.height(), kTitleStripHeight));
    const QRect sharedStrip = screen.intersected(strip);
    const QRect shared = screen.intersected(frame);
    return !sharedStrip.isEmpty() && sharedStrip.height() == strip.height() &&
           sharedStrip.width() >= std::min(frame.width(), kUsefulWidth) &&
           shared.width() >= std::min(frame.width(), kUsefulWidth) &&
           shared.height() >= std::min(frame.height(), kUsefulHeight);
}

// The screen a window belongs on: the one holding most of its frame, else the one nearest to it.
QRect NearestScreen(const QRect& frame)
{
    QRect best = PrimaryAvailableGeometry();
    long long bestArea = -1;
    long long bestDistance = -1;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const QRect shared = area.intersected(frame);
        const long long sharedArea = shared.isEmpty() ? 0 : 1LL * shared.width() * shared.height();
        const QPoint d = area.center() - frame.center();
        const long long distance = 1LL * d.x() * d.x() + 1LL * d.y() * d.y();
        if (sharedArea > bestArea || (sharedArea == bestArea && distance < bestDistance)) {
            best = area;
            bestArea = sharedArea;
            bestDistance = distance;
        }
    }
    return best;
}

// The size a window's frame will have: its real frame once it has been shown, before that the
// size it was given (or would take) and room for the window manager's title strip.
QSize ExpectedFrameSize(const QWidget& window)
{
    if (window.isVisible() || window.testAttribute(Qt::WA_WState_Created)) {
        return window.frameGeometry().size();
    }
    const QSize client =
        window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint().expandedTo(window.minimumSize());
    return {client.width(), client.height() + kTitleStripHeight};
}

// Keeps a span of `length` starting at `start` inside [low, low + room); a span longer than the
// room starts at `low`.
int ClampSpan(int start, int length, int low, int room)
{
    return length >= room ? low : std::clamp(start, low, low + room - length);
}

// The palette role of each system colour index of the settings file (the low byte of a value with
// the top bit set).
struct SystemColour
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};
constexpr SystemColour kSystemColours[] = {
    {QPalette::Active, QPalette::Button},          // 0 scroll bars
    {QPalette::Active, QPalette::Dark},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active title bar
    {QPalette::Active, QPalette::Mid},             // 3 inactive title bar
    {QPalette::Active, QPalette::Window},          // 4 menu bar
    {QPalette::Active, QPalette::Base},            // 5 window background
    {QPalette::Active, QPalette::Shadow},          // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::WindowText},      // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 title bar text
    {QPalette::Active, QPalette::Light},           // 10 active border
    {QPalette::Active, QPalette::Midlight},        // 11 inactive border
    {QPalette::Active, QPalette::Window},          // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlighted text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Active, QPalette::PlaceholderText}, // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Disabled, QPalette::WindowText},    // 19 inactive title bar text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 tooltip background
};

} // namespace

double PixelsToTwips(int pixels)
{
    return pixels * kTwipsPerInch / LogicalDpi();
}

int TwipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips * LogicalDpi() / kTwipsPerInch));
}

QRect TwipsToPixels(double left, double top, double width, double height)
{
    // Edges are rounded, not sizes, so rectangles that share an edge in twips share it in pixels.
    const int x = TwipsToPixels(left);
    const int y = TwipsToPixels(top);
    return QRect(x, y, TwipsToPixels(left + width) - x, TwipsToPixels(top + height) - y);
}

double ScreenWidthTwips()
{
    return PixelsToTwips(PrimaryAvailableGeometry().width());
}

double ScreenHeightTwips()
{
    return PixelsToTwips(PrimaryAvailableGeometry().height());
}

double WindowTopTwips(const QWidget& window)
{
    return PixelsToTwips(window.frameGeometry().top());
}

double WindowLeftTwips(const QWidget& window)
{
    return PixelsToTwips(window.frameGeometry().left());
}

double WindowHeightTwips(const QWidget& window)
{
    return PixelsToTwips(window.frameGeometry().height());
}

void MoveWindowTwips(QWidget& window, double top, double left)
{
    QPoint position(TwipsToPixels(left), TwipsToPixels(top));
    if (window.isWindow()) {
        const QRect frame(position, ExpectedFrameSize(window));
        const auto screens = QGuiApplication::screens();
        const bool reachable = std::any_of(screens.begin(), screens.end(), [&frame](const QScreen* screen) {
            return ReachableOnScreen(frame, screen->availableGeometry());
        });
        if (!reachable) {
            const QRect screen = NearestScreen(frame);
            position.setX(ClampSpan(position.x(), frame.width(), screen.left(), screen.width()));
            position.setY(ClampSpan(position.y(), frame.height(), screen.top(), screen.height()));
        }
    }
    window.move(position); // for a window, move() places the frame's corner
}

int WindowStateCode(const QWidget& window)
{
    if (window.isMinimized()) {
        return 1;
    }
    if (window.isMaximized()) {
        return 2;
    }
    return 0;
}

void ApplyWindowStateCode(QWidget& window, int state)
{
    Qt::WindowStates states =
        window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == 1) {
        states |= Qt::WindowMinimized;
    } else if (state == 2) {
        states |= Qt::WindowMaximized;
    }
    // Before the first show this only records the state; show() then applies it.
    window.setWindowState(states);
}

QColor ColorFromValue(ColorValue value, const QPalette& palette)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if (value < 0) {
        const std::uint32_t index = bits & 0xFFu;
        if (index < std::size(kSystemColours)) {
            return palette.color(kSystemColours[index].group, kSystemColours[index].role);
        }
        return palette.color(QPalette::Active, QPalette::WindowText);
    }
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

ColorValue ValueFromColor(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return static_cast<ColorValue>(rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16));
}

QFont FontFromChoice(const FontChoice& choice)
{
    QFont font;
    if (!choice.name.empty()) {
        font.setFamily(QString::fromStdString(choice.name));
    }
    if (choice.size > 0.0) {
        font.setPointSizeF(choice.size);
    }
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    return font;
}

FontChoice ChoiceFromFont(const QFont& font)
{
    FontChoice choice;
    choice.name = font.family().toStdString();
    if (font.pointSizeF() > 0.0) {
        choice.size = font.pointSizeF();
    } else if (font.pixelSize() > 0) {
        choice.size = font.pixelSize() * 72.0 / LogicalDpi();
    }
    choice.bold = font.bold();
    choice.italic = font.italic();
    return choice;
}

void ShowBusyPointer()
{
    if (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
}

void ShowArrowPointer()
{
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void SetColors(QWidget& widget, const QColor& back, const QColor& fore)
{
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Window, back);
    colours.setColor(QPalette::WindowText, fore);
    widget.setPalette(colours);
    widget.setAutoFillBackground(true);
}

QColor ColorFromValue(ColorValue value)
{
    return ColorFromValue(value, QGuiApplication::palette());
}

} // namespace kestrel
