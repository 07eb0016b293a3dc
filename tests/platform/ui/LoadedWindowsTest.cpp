// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoadedWindows.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

QStringList Names(const LoadedWindows& loaded)
{
    QStringList names;
    for (const auto& entry : loaded.entries()) {
        names << entry.name;
    }
    return names;
}

TEST(LoadedWindowsTest, KeepsLoadOrderFindsByNameAndDropsDestroyedWindows)
{
    QWidget toolBar;
    QWidget countDown;
    auto deskCal = std::make_unique<QWidget>();
    QWidget calc;
    LoadedWindows loaded;
    loaded.add(QStringLiteral("frmToolBar"), &toolBar);
    loaded.add(QStringLiteral("frmCountDown"), &countDown);
    loaded.add(QStringLiteral("frmDeskCal"), deskCal.get());
    loaded.add(QStringLiteral("frmCalc"), &calc);
    loaded.add(QStringLiteral("frmToolBar"), &toolBar); // loading again keeps the first place
    EXPECT_EQ(Names(loaded), (QStringList{"frmToolBar", "frmCountDown", "frmDeskCal", "frmCalc"}));
    EXPECT_EQ(loaded.find(QStringLiteral("FRMCALC")), &calc);
    EXPECT_EQ(loaded.find(QStringLiteral("frmOptions")), nullptr);

    loaded.remove(&countDown);
    deskCal.reset(); // destroyed without unloading
    EXPECT_EQ(Names(loaded), (QStringList{"frmToolBar", "frmCalc"}));
    EXPECT_EQ(loaded.count(), 2);
    EXPECT_FALSE(loaded.contains(QStringLiteral("frmDeskCal")));
}

} // namespace
} // namespace kestrel
