// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuntimeError.h"
#include "Settings.h"
#include "Styling.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::TempDir;
using test::WriteFile;

int ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST(StylingEncodingTest, ColoursAreSignedDecimals)
{
    EXPECT_EQ(ParseColor("16744576"), 16744576);
    EXPECT_EQ(ParseColor(" -2147483640 "), kSystemWindowText);
    EXPECT_EQ(ParseColor("&H80000008"), kSystemWindowText);
    EXPECT_EQ(ParseColor("&HFFFF"), 65535);
    EXPECT_EQ(ParseColor("2.5"), 2);
    EXPECT_EQ(ColorText(kSystemWindowText), "-2147483640");
    for (const char* bad : {"", "yellow", "12px", "0x10", "&H", "&HXYZ"}) {
        EXPECT_EQ(ErrorOf([&] { ParseColor(bad); }), RuntimeError::TypeMismatch) << bad;
    }
    EXPECT_EQ(ErrorOf([] { ParseColor("99999999999"); }), RuntimeError::Overflow);
}

TEST(StylingEncodingTest, BooleansReadInAnyCaseAndAsNumbers)
{
    const struct
    {
        const char* text;
        bool value;
    } cases[] = {{"True", true}, {"FALSE", false}, {"true", true}, {" False ", false},
                 {"1", true},    {"0", false},     {"-1", true},   {"2.5", true}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseBool(c.text), c.value) << c.text;
    }
    for (const char* bad : {"", "yes", "on", "Truee"}) {
        EXPECT_EQ(ErrorOf([&] { ParseBool(bad); }), RuntimeError::TypeMismatch) << bad;
    }
    EXPECT_EQ(BoolText(true), "True");
    EXPECT_EQ(BoolText(false), "False");
}

TEST(StylingEncodingTest, SizesAreSinglePrecisionPoints)
{
    EXPECT_EQ(ParseSize("14.25"), 14.25);
    EXPECT_EQ(ParseSize("12"), 12);
    EXPECT_EQ(SizeText(14.25), "14.25");
    EXPECT_EQ(SizeText(12), "12");
    EXPECT_EQ(SizeText(11.25), "11.25");
    EXPECT_EQ(ErrorOf([] { ParseSize("big"); }), RuntimeError::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { ParseSize("0"); }), RuntimeError::InvalidPropertyValue);
    EXPECT_EQ(ErrorOf([] { ParseSize("-3"); }), RuntimeError::InvalidPropertyValue);
    EXPECT_EQ(ErrorOf([] { ParseSize("1e300"); }), RuntimeError::InvalidPropertyValue);
}

class CountDownSectionTest : public ::testing::Test
{
protected:
    SettingsFile file() const { return SettingsFile(dir / "KESTREL.INI"); }
    void Write(const std::string& text) { WriteFile(dir / "KESTREL.INI", text); }
    TempDir dir;
};

TEST_F(CountDownSectionTest, EmptySectionKeepsTheDesignLook)
{
    Write("[CountDown]\n");
    BreakdownStyle style = BreakdownWindowDesign();
    ReadCountDownSection(file(), style);
    EXPECT_EQ(style, BreakdownWindowDesign());
    EXPECT_TRUE(style.captionVisible);
    EXPECT_TRUE(style.projectVisible);
}

TEST_F(CountDownSectionTest, StoredValuesReplaceTheCurrentOnes)
{
    Write("[countdown]\ncaption visible=false\nCaption ForeColor=255\nInterval FontName=DejaVu Serif\n"
          "Interval FontSize=14.25\nInterval FontItalic=1\nProject Visible=FALSE\nProject BackColor=-2147483643\n");
    BreakdownStyle style = BreakdownWindowDesign();
    ReadCountDownSection(file(), style);
    EXPECT_FALSE(style.captionVisible);
    EXPECT_EQ(style.caption.foreColor, 255) << "\"Caption foreColor\" finds the written \"Caption ForeColor\"";
    EXPECT_EQ(style.interval.font.name, "DejaVu Serif");
    EXPECT_EQ(style.interval.font.size, 14.25);
    EXPECT_TRUE(style.interval.font.italic);
    EXPECT_FALSE(style.projectVisible);
    EXPECT_EQ(style.project.backColor, static_cast<ColorValue>(0x80000005u));
    EXPECT_EQ(style.caption.backColor, BreakdownWindowDesign().caption.backColor);
}

TEST_F(CountDownSectionTest, ADamagedValueStopsTheKeysAfterIt)
{
    Write("[CountDown]\nCaption BackColor=255\nInterval ForeColor=not a colour\nInterval FontSize=20\n"
          "Project ForeColor=255\n");
    BreakdownStyle style = BreakdownWindowDesign();
    EXPECT_EQ(ErrorOf([&] { ReadCountDownSection(file(), style); }), RuntimeError::TypeMismatch);
    EXPECT_EQ(style.caption.backColor, 255) << "keys before the damaged one are applied";
    EXPECT_EQ(style.interval.font.size, 11.25) << "keys after it are not";
    EXPECT_EQ(style.project.foreColor, 0);
}

TEST_F(CountDownSectionTest, TheScreensaverReadsNoVisibilityKeys)
{
    Write("[CountDown]\nCaption Visible=False\nProject Visible=False\nCaption FontBold=False\n");
    BreakdownStyle style = BreakdownWindowDesign();
    ReadCountDownSection(file(), style, false);
    EXPECT_TRUE(style.captionVisible);
    EXPECT_TRUE(style.projectVisible);
    EXPECT_FALSE(style.caption.font.bold);
}

TEST_F(CountDownSectionTest, FontKeysAreWrittenInTheirOrder)
{
    SettingsFile settings = file();
    settings.WriteSettings(FontKeyWrites(StyleGroup::Interval, FontChoice{"DejaVu Sans", 14.25, false, true}));
    EXPECT_EQ(test::ReadFile(dir / "KESTREL.INI"), "[CountDown]\nInterval FontName=DejaVu Sans\n"
                                                   "Interval FontItalic=True\nInterval FontBold=False\n"
                                                   "Interval FontSize=14.25\n");
}

} // namespace
} // namespace kestrel
