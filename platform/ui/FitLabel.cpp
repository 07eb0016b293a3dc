// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FitLabel.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace kestrel {

QFont FitLabel::fittedFont() const
{
    QFont fitted = font();
    const double room = contentsRect().width() * 0.96;
    const double needed = QFontMetricsF(fitted).horizontalAdvance(text());
    if (needed > room && needed > 0 && room > 0) {
        if (fitted.pointSizeF() > 0) {
            fitted.setPointSizeF(std::max(1.0, fitted.pointSizeF() * room / needed));
        } else {
            fitted.setPixelSize(std::max(1, static_cast<int>(fitted.pixelSize() * room / needed)));
        }
    }
    return fitted;
}

void FitLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event); // the frame; the background is filled already
    QPainter painter(this);
    painter.setFont(fittedFont());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), static_cast<int>(alignment()), text());
}

} // namespace kestrel
