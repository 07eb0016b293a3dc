// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AllWindows.h"
#include "ScopedApplicationFont.h"
#include "ElasticPanel.h"
#include "FitLabel.h"

#include <QAbstractButton>
#include <QToolButton>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QRegularExpression>

namespace kestrel::test {
namespace {

// Every window at a large desktop font, shown at the smallest size its layout allows: each
// one-line label shows its whole text, each wrapped label has the height its text needs, each
// button's caption fits the button and each elastic caption fits its panel.
QString ShownText(const QString& text)
{
    QString shown = text;
    shown.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    return shown;
}

class WindowAtLargeFont : public WindowsFixture, public ::testing::WithParamInterface<double>
{
protected:
    // Set before the fixture opens anything, put back after it has closed everything.
    ScopedApplicationFont m_font{GetParam()};

    // What of the window's text does not fit where it is shown, one line each.
    static QStringList Overflows(const QWidget* window)
    {
        QStringList found;
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->isVisibleTo(window) || label->text().isEmpty() || label->textFormat() == Qt::RichText ||
                Qt::mightBeRichText(label->text())) {
                continue;
            }
            const QString text = ShownText(label->text());
            const QRect room = label->contentsRect();
            const auto* fit = qobject_cast<const FitLabel*>(label);
            const QFontMetrics metrics(fit != nullptr ? fit->fittedFont() : label->font());
            if (label->wordWrap()) {
                const QRect needed = metrics.boundingRect(room, Qt::TextWordWrap | label->alignment(), text);
                if (needed.height() > room.height()) {
                    found << QStringLiteral("label %1 \"%2\" needs %3 px high, has %4")
                                 .arg(label->objectName(), text)
                                 .arg(needed.height())
                                 .arg(room.height());
                }
                continue;
            }
            for (const QString& line : text.split(QLatin1Char('\n'))) {
                if (metrics.horizontalAdvance(line) > room.width()) {
                    found << QStringLiteral("label %1 \"%2\" needs %3 px wide, has %4")
                                 .arg(label->objectName(), line)
                                 .arg(metrics.horizontalAdvance(line))
                                 .arg(room.width());
                }
            }
            if (metrics.height() * text.count(QLatin1Char('\n')) + metrics.height() > room.height() + 1) {
                found << QStringLiteral("label %1 \"%2\" is cut at the bottom").arg(label->objectName(), text);
            }
        }
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            // A picture button shows no text, whatever its command's words.
            const auto* picture = qobject_cast<const QToolButton*>(button);
            const bool textShown =
                picture == nullptr || picture->toolButtonStyle() != Qt::ToolButtonIconOnly || picture->icon().isNull();
            if (!button->isVisibleTo(window) || button->text().isEmpty() || !textShown) {
                continue;
            }
            if (button->fontMetrics().horizontalAdvance(ShownText(button->text())) > button->width()) {
                found << QStringLiteral("button %1 \"%2\" is cut").arg(button->objectName(), button->text());
            }
        }
        for (const ElasticPanel* panel : window->findChildren<ElasticPanel*>()) {
            if (!panel->isVisibleTo(window) || panel->caption().isEmpty()) {
                continue;
            }
            QFont font = panel->designFont();
            font.setPointSizeF(font.pointSizeF() * panel->scale());
            const QFontMetrics metrics(font);
            const QRect room = panel->contentsRect();
            const QRect needed = metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, panel->caption());
            if (needed.height() > room.height() || metrics.horizontalAdvance(panel->caption()) > room.width()) {
                found << QStringLiteral("panel %1 \"%2\" wraps or is cut").arg(panel->objectName(), panel->caption());
            }
        }
        return found;
    }
};

TEST_P(WindowAtLargeFont, NoTextIsCutAtTheSmallestSize)
{
    ForEachWindow([this](const char* name, QWidget* window) {
        // KESTREL_LAYOUT_SHOTS names a folder to keep a picture of each window in, for a person
        // to look at.
        if (const QString shots = qEnvironmentVariable("KESTREL_LAYOUT_SHOTS"); !shots.isEmpty()) {
            window->grab().save(QStringLiteral("%1/%2-%3pt.png").arg(shots, QString::fromLatin1(name)).arg(GetParam()));
        }
        const QStringList overflows = Overflows(window);
        EXPECT_TRUE(overflows.isEmpty()) << name << " at " << GetParam() << " pt:\n"
                                         << overflows.join(QLatin1Char('\n')).toStdString();
    });
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, WindowAtLargeFont, ::testing::Values(9.0, 14.0, 18.0));

} // namespace
} // namespace kestrel::test
