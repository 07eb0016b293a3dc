// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolbarIcons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <cmath>
#include <functional>

namespace kestrel {

namespace {

// Icon names of the freedesktop naming scheme, one per toolbar button.
constexpr std::array<const char*, 7> kThemeNames = {
    "chronometer",    "x-office-calendar", "accessories-calculator", "preferences-system",
    "document-print", "help-browser",      "application-exit",
};

constexpr QColor kInk{0x2e, 0x34, 0x40};

using Painter = std::function<void(QPainter&)>;

// Draws on a 48 x 48 canvas, scaled to the size asked for, when it is first asked for: a
// picture nobody shows is never drawn, which keeps the program's start quick.
class PaintedIconEngine : public QIconEngine
{
public:
    explicit PaintedIconEngine(Painter paint) : m_paint(std::move(paint)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const QString key = QStringLiteral("kestrel-icon-%1-%2-%3")
                                .arg(reinterpret_cast<quintptr>(this))
                                .arg(size.width())
                                .arg(static_cast<int>(mode));
        QPixmap cached;
        if (QPixmapCache::find(key, &cached)) {
            return cached;
        }
        QPixmap drawn(size);
        drawn.fill(Qt::transparent);
        {
            QPainter painter(&drawn);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size.width() / 48.0, size.height() / 48.0);
            m_paint(painter);
        }
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            drawn = QApplication::style()->generatedIconPixmap(QIcon::Disabled, drawn, &option);
        }
        QPixmapCache::insert(key, drawn);
        return drawn;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new PaintedIconEngine(m_paint); }

private:
    Painter m_paint;
};

QIcon Painted(const Painter& paint)
{
    return QIcon(new PaintedIconEngine(paint));
}

void Stopwatch(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(20, 2, 8, 6), 2, 2);
    p.drawRoundedRect(QRectF(34, 8, 6, 6), 2, 2);
    p.setBrush(QColor(0xf2, 0x8c, 0x28));
    p.drawEllipse(QPointF(24, 27), 19, 19);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 27), 15, 15);
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 27), QPointF(24, 16));
    p.drawLine(QPointF(24, 27), QPointF(31, 31));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(24, 27), 2.5, 2.5);
}

void Calendar(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd6, 0xdb, 0xe3));
    p.drawRoundedRect(QRectF(4, 7, 40, 38), 5, 5);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(6, 9, 36, 34), 4, 4);
    p.setBrush(QColor(0xe0, 0x3c, 0x31));
    QPainterPath header;
    header.addRoundedRect(QRectF(4, 7, 40, 12), 5, 5);
    header.addRect(QRectF(4, 13, 40, 6));
    p.drawPath(header.simplified());
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(13, 3, 4, 9), 2, 2);
    p.drawRoundedRect(QRectF(31, 3, 4, 9), 2, 2);
    p.setBrush(QColor(0x5d, 0x67, 0x78));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            p.drawRect(QRectF(10 + column * 8, 23 + row * 6.5, 5, 4));
        }
    }
    p.setBrush(QColor(0xe0, 0x3c, 0x31));
    p.drawRect(QRectF(26, 29.5, 5, 4));
}

void Calculator(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x54, 0x66));
    p.drawRoundedRect(QRectF(8, 3, 32, 42), 5, 5);
    p.setBrush(QColor(0xb8, 0xe0, 0xc4));
    p.drawRoundedRect(QRectF(12, 7, 24, 9), 2, 2);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const bool equals = row == 2 && column == 2;
            p.setBrush(equals ? QColor(0xf2, 0x8c, 0x28) : QColor(0xe6, 0xe9, 0xee));
            p.drawRoundedRect(QRectF(12 + column * 8.5, 20 + row * 8, 6.5, 6), 1.5, 1.5);
        }
    }
}

void Target(QPainter& p)
{
    p.setPen(Qt::NoPen);
    const std::array<QColor, 4> rings = {QColor(0xe0, 0x3c, 0x31), Qt::white, QColor(0xe0, 0x3c, 0x31), Qt::white};
    for (std::size_t i = 0; i < rings.size(); ++i) {
        p.setBrush(rings[i]);
        const double radius = 21 - static_cast<double>(i) * 5;
        p.drawEllipse(QPointF(22, 26), radius, radius);
    }
    p.setBrush(QColor(0xe0, 0x3c, 0x31));
    p.drawEllipse(QPointF(22, 26), 2.5, 2.5);
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23, 25), QPointF(42, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x7d, 0xd1));
    QPolygonF fletching;
    fletching << QPointF(38, 4) << QPointF(46, 2) << QPointF(44, 10) << QPointF(40, 10);
    p.drawPolygon(fletching);
}

void Printer(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0x8a, 0x93, 0xa3), 1.5));
    p.drawRect(QRectF(13, 4, 22, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x54, 0x66));
    p.drawRoundedRect(QRectF(4, 16, 40, 20), 4, 4);
    p.setBrush(QColor(0x7b, 0xd1, 0x6f));
    p.drawEllipse(QPointF(37, 22), 2, 2);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0x8a, 0x93, 0xa3), 1.5));
    p.drawRect(QRectF(13, 29, 22, 16));
    p.setPen(QPen(QColor(0x8a, 0x93, 0xa3), 1.5));
    p.drawLine(QPointF(17, 35), QPointF(31, 35));
    p.drawLine(QPointF(17, 40), QPointF(27, 40));
}

void Help(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x7d, 0xd1));
    p.drawEllipse(QPointF(24, 24), 21, 21);
    // A question mark drawn as a path: no font needs loading for it.
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(17, 18);
    hook.cubicTo(17, 10, 31, 10, 31, 18);
    hook.cubicTo(31, 23, 24, 24, 24, 29);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 36), 3, 3);
}

void Power(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd9, 0x3f, 0x3f));
    p.drawEllipse(QPointF(24, 24), 21, 21);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(13, 14, 22, 22), 120 * 16, 300 * 16);
    p.drawLine(QPointF(24, 10), QPointF(24, 24));
}

} // namespace

std::array<QIcon, 7> ToolbarIcons()
{
    // The desktop's theme is used only when it has a picture for every button, so the row
    // never mixes two styles; otherwise the program's own pictures show. Without a desktop theme
    // (only the "hicolor" base) there is nothing to look for.
    std::array<QIcon, 7> icons;
    const QString theme = QIcon::themeName();
    bool themeComplete = !theme.isEmpty() && theme != QLatin1String("hicolor");
    for (std::size_t i = 0; themeComplete && i < icons.size(); ++i) {
        icons[i] = QIcon::fromTheme(QString::fromLatin1(kThemeNames[i]));
        themeComplete = !icons[i].isNull();
    }
    if (themeComplete) {
        return icons;
    }
    return {Painted(Stopwatch), Painted(Calendar), Painted(Calculator), Painted(Target),
            Painted(Printer),   Painted(Help),     Painted(Power)};
}

QIcon ToolbarIcon(ToolbarPicture picture)
{
    const auto index = static_cast<std::size_t>(picture);
    return index < 7 ? ToolbarIcons()[index] : KestrelIcon();
}

QIcon KestrelIcon()
{
    return Painted([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x4e, 0x8c));
        p.drawRoundedRect(QRectF(2, 2, 44, 44), 10, 10);
        p.setBrush(QColor(0xf2, 0x8c, 0x28));
        p.drawEllipse(QPointF(24, 26), 15, 15);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(24, 26), 12, 12);
        p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(24, 26), QPointF(24, 17));
        p.drawLine(QPointF(24, 26), QPointF(30, 29));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf2, 0x8c, 0x28));
        p.drawRoundedRect(QRectF(20, 6, 8, 5), 2, 2);
    });
}

} // namespace kestrel
