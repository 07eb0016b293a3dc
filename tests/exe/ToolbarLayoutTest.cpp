// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ElasticPanel.h"
#include "ProgramFixture.h"
#include "ScopedApplicationFont.h"

#include <QFontMetrics>

namespace kestrel::test {
namespace {

// The toolbar at the desktop's font size: each of its three lines fits its strip, on one line and
// whole, so the target line never wraps over the date line and the address is never cut.
class ToolbarAtFontSize : public ProgramFixture, public ::testing::WithParamInterface<double>
{
protected:
    // Set before the fixture opens anything, put back after it has closed everything.
    ScopedApplicationFont m_font{GetParam()};
};

TEST_P(ToolbarAtFontSize, EveryLineFitsItsStrip)
{
    // The longest target line a date gives, and the default address.
    WriteSettings("[Target Date]\nTarget_Year=2000\nTarget_Month=9\nTarget_Day=30\n");
    ToolbarWindow& toolbar = StartToolbar();
    toolbar.show();
    QApplication::processEvents();
    for (const char* name : {"VSElastic5", "VSElastic3"}) {
        for (const ElasticPanel* panel : toolbar.findChildren<ElasticPanel*>(QString::fromLatin1(name))) {
            QFont font = panel->designFont();
            font.setPointSizeF(font.pointSizeF() * panel->scale());
            const QFontMetrics metrics(font);
            const QRect room = panel->contentsRect();
            const QRect needed = metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, panel->caption());
            const std::string what = panel->caption().toStdString() + " at " + std::to_string(GetParam()) + " pt";
            EXPECT_FALSE(panel->caption().isEmpty()) << name;
            EXPECT_LE(needed.height(), room.height()) << what << " wraps or is too tall";
            EXPECT_LE(metrics.horizontalAdvance(panel->caption()), room.width()) << what << " is cut";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, ToolbarAtFontSize, ::testing::Values(9.0, 10.0, 11.0, 12.0, 14.0));

} // namespace
} // namespace kestrel::test
