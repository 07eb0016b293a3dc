// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Dialogs.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QRect>

class QWidget;

namespace kestrel {

// Twips: 1440 to the logical inch of the screen. Positions and sizes in the settings file and in
// the window layouts are twips.
double PixelsToTwips(int pixels);
int TwipsToPixels(double twips);
QRect TwipsToPixels(double left, double top, double width, double height);
// The screen's width and height in twips (the primary screen's available area).
double ScreenWidthTwips();
double ScreenHeightTwips();

// A window's top and left on the screen in twips, and placing it there (frame included), kept on
// a screen so a stored position from a larger desktop never hides the window.
double WindowTopTwips(const QWidget& window);
double WindowLeftTwips(const QWidget& window);
void MoveWindowTwips(QWidget& window, double top, double left);
double WindowHeightTwips(const QWidget& window);

// Window states as the settings file stores them: 0 normal, 1 minimised, 2 maximised.
int WindowStateCode(const QWidget& window);
void ApplyWindowStateCode(QWidget& window, int state);

// The colour a stored colour value shows: RGB, or for a system colour the matching role of
// `palette`.
QColor ColorFromValue(ColorValue value, const QPalette& palette);
// The same against the desktop's palette.
QColor ColorFromValue(ColorValue value);
// The stored value of an RGB colour.
ColorValue ValueFromColor(const QColor& colour);

// Gives a widget its back and text colours (the background filled).
void SetColors(QWidget& widget, const QColor& back, const QColor& fore);

// The font a stored font choice shows (a blank name or a size of 0 keeps the default's), and
// the choice a font is (its size in points, also for a font sized in pixels).
QFont FontFromChoice(const FontChoice& choice);
FontChoice ChoiceFromFont(const QFont& font);

// The screen's mouse pointer: the hourglass while a window loads or composes, the arrow after.
void ShowBusyPointer();
void ShowArrowPointer();

} // namespace kestrel
