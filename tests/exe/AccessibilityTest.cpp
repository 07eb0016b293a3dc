// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AllWindows.h"
#include "DateCalculator.h"
#include "DeskCalendar.h"
#include "ElasticPanel.h"
#include "OptionsDialog.h"
#include "ProgramFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace kestrel::test {
namespace {

class OptionsAccessibility : public ProgramFixture
{};

// A screen reader hears what a drop-down box is for, not only the value it holds: the box carries
// the label relation to its label, and the text box inside it, which takes the keyboard focus,
// is named by the label's words.
TEST_F(OptionsAccessibility, DropDownBoxesAreNamedByTheirLabels)
{
    StartToolbar();
    auto options = std::make_unique<OptionsDialog>(*program);
    const struct
    {
        const char* box;
        const char* label;
        const char* name;
    } cases[] = {
        {"cboSpecialDates", "Label4", "Preset Target Dates"},
        {"CboCountOptions", "Label1", "Select Caption Options"},
        {"cboTypeOfCalculation", "Label2", "Select Day Type"},
    };
    for (const auto& c : cases) {
        auto* box = options->findChild<QComboBox*>(QString::fromLatin1(c.box));
        auto* label = options->findChild<QLabel*>(QString::fromLatin1(c.label));
        ASSERT_NE(box, nullptr) << c.box;
        ASSERT_NE(label, nullptr) << c.label;
        EXPECT_EQ(box->accessibleName().toStdString(), c.name) << c.box;

        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(accessible, nullptr) << c.box;
        bool labelled = false;
        for (const auto& [other, relation] : accessible->relations(QAccessible::Label)) {
            labelled = labelled || other->object() == label;
        }
        EXPECT_TRUE(labelled) << c.box << " is not labelled by " << c.label;

        ASSERT_NE(box->lineEdit(), nullptr) << c.box;
        QAccessibleInterface* text = QAccessible::queryAccessibleInterface(box->lineEdit());
        ASSERT_NE(text, nullptr) << c.box;
        EXPECT_EQ(text->text(QAccessible::Name).toStdString(), c.name) << c.box;
        EXPECT_EQ(text->text(QAccessible::Value), box->currentText()) << c.box;
    }
    options.reset();
}

// Every control of every window tells a screen reader what it is for: its own words, or those of
// the label beside it. Every line that only shows information (today line, target line, answer
// panel, page line, the elastic panels' captions) is read as a label, with its text as its name.
class WindowAccessibility : public WindowsFixture
{
protected:
    static bool IsLabelled(QAccessibleInterface* accessible)
    {
        return !accessible->relations(QAccessible::Label).isEmpty();
    }

    static QStringList Unnamed(const QWidget* window)
    {
        QStringList found;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            // Controls on pages not shown count too, not those hidden themselves (an empty day of
            // the calendar); those of pop-ups opened from the window are windows of their own.
            if (widget->window() != window || widget->isHidden() || qobject_cast<QLabel*>(widget) != nullptr ||
                (widget->focusPolicy() & Qt::TabFocus) == 0 || widget->focusProxy() != nullptr) {
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            if (accessible == nullptr) {
                found << QStringLiteral("%1 (%2) has no accessible interface")
                             .arg(widget->objectName(), QString::fromLatin1(widget->metaObject()->className()));
                continue;
            }
            // A text box inside a drop-down box is named through the box.
            if (widget->parentWidget() != nullptr && qobject_cast<QComboBox*>(widget->parentWidget()) != nullptr) {
                continue;
            }
            if (accessible->text(QAccessible::Name).trimmed().isEmpty() && !IsLabelled(accessible)) {
                found << QStringLiteral("%1 (%2) has no name")
                             .arg(widget->objectName(), QString::fromLatin1(widget->metaObject()->className()));
            }
        }
        return found;
    }

    static QStringList NotStaticText(const QWidget* window)
    {
        QStringList found;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const auto* panel = qobject_cast<ElasticPanel*>(widget);
            const auto* label = qobject_cast<QLabel*>(widget);
            const bool informationLine =
                (label != nullptr && !label->text().isEmpty()) || (panel != nullptr && !panel->caption().isEmpty());
            if (!widget->isVisibleTo(window) || !informationLine) {
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            if (accessible == nullptr || accessible->role() != QAccessible::StaticText) {
                found << QStringLiteral("%1 is not read as a label").arg(widget->objectName());
            } else if (panel != nullptr && accessible->text(QAccessible::Name) != panel->caption()) {
                found << QStringLiteral("%1 is read as \"%2\", shows \"%3\"")
                             .arg(widget->objectName(), accessible->text(QAccessible::Name), panel->caption());
            }
        }
        return found;
    }
};

TEST_F(WindowAccessibility, EveryControlIsNamedAndEveryInformationLineIsALabel)
{
    ForEachWindow([](const char* name, QWidget* window) {
        const QStringList unnamed = Unnamed(window);
        EXPECT_TRUE(unnamed.isEmpty()) << name << ":\n" << unnamed.join(QLatin1Char('\n')).toStdString();
        const QStringList lines = NotStaticText(window);
        EXPECT_TRUE(lines.isEmpty()) << name << ":\n" << lines.join(QLatin1Char('\n')).toStdString();
    });
}

// The information lines the windows are known by, each read as a label with the words it shows.
TEST_F(WindowAccessibility, InformationLinesAreReadWithTheirWords)
{
    const struct
    {
        const char* window;
        const char* line;
    } cases[] = {
        {kToolBarName, "VSElastic5"},  {kToolBarName, "VSElastic3"}, {kCalcName, "VSEAnswer"},
        {kDeskCalName, "lblCalendar"}, {kReportName, "lblpages"},    {kMilestoneName, "lblMilestoneNumber"},
        {kMilestoneName, "Label1"},
    };
    ForEachWindow([&cases](const char* name, QWidget* window) {
        for (const auto& c : cases) {
            if (std::string_view(c.window) != name) {
                continue;
            }
            const QList<QWidget*> lines = window->findChildren<QWidget*>(QString::fromLatin1(c.line));
            ASSERT_FALSE(lines.isEmpty()) << name << " has no " << c.line;
            for (QWidget* line : lines) {
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(line);
                ASSERT_NE(accessible, nullptr) << c.line;
                EXPECT_EQ(accessible->role(), QAccessible::StaticText) << name << " " << c.line;
                EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << name << " " << c.line;
            }
        }
    });
}

// Keyboard users and screen readers: names that tell controls apart, tab stops only where there is
// something to choose, page keys in the options dialog, access keys that act at once.
class KeyboardTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        std::filesystem::create_directories(dir / "data");
    }

    static void Activate(QWidget& window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

TEST_F(KeyboardTest, TheCalculatorsTwoCalendarButtonsSayWhichDateTheyPick)
{
    StartToolbar();
    auto calculator = std::make_unique<DateCalculator>(*program);
    QStringList names;
    for (const QPushButton* button : calculator->findChildren<QPushButton*>(QStringLiteral("Command3"))) {
        names << button->accessibleName();
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"Pick the From date", "Pick the To date"}));
}

TEST_F(KeyboardTest, PlaceholderMonthTabsAreNoTabStops)
{
    StartToolbar();
    auto calendar = std::make_unique<DeskCalendar>(*program);
    int months = 0;
    for (const MonthStrip* strip : {calendar->leftMonthStrip(), calendar->rightMonthStrip()}) {
        for (int t = 0; t < 12; ++t) {
            const bool placeholder = strip->caption(t) == QLatin1String("-");
            const bool tabStop = (strip->tab(t)->focusPolicy() & Qt::TabFocus) != 0;
            EXPECT_NE(placeholder, tabStop) << strip->objectName().toStdString() << " tab " << t;
            months += placeholder ? 0 : 1;
        }
    }
    EXPECT_EQ(months, 12);
}

TEST_F(KeyboardTest, ControlTabAndControlPageKeysTurnTheOptionsPages)
{
    StartToolbar();
    auto options = std::make_unique<OptionsDialog>(*program);
    Activate(*options);
    // clang-format off
    const struct { Qt::Key key; Qt::KeyboardModifiers modifiers; int page; } presses[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_Tab, Qt::ControlModifier, 3},
        {Qt::Key_Tab, Qt::ControlModifier, 0},
        {Qt::Key_PageUp, Qt::ControlModifier, 3},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2},
    };
    // clang-format on
    ASSERT_EQ(options->pages()->currentTab(), 0);
    for (const auto& press : presses) {
        QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : options.get();
        QTest::keyClick(focus, press.key, press.modifiers);
        EXPECT_EQ(options->pages()->currentTab(), press.page)
            << press.key << " " << focus->metaObject()->className() << " " << focus->objectName().toStdString();
    }
}

TEST_F(KeyboardTest, AClashingAccessKeyActsOnItsFirstPressTheMenuFirst)
{
    StartToolbar();
    auto* calendar = new DeskCalendar(*program);
    Activate(*calendar);
    // Alt+M: the "&MileStones" menu, the "&Month " jump and the "&March" tab.
    QTest::keyClick(calendar, Qt::Key_M, Qt::AltModifier);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), "mnuMile");
    popup->close();
    Activate(*calendar);
    // Alt+Y: the "&Year" jump and the "Ma&y" tab; one of them turns the calendar at once.
    const YearMonth before = calendar->shownMonth();
    QTest::keyClick(calendar, Qt::Key_Y, Qt::AltModifier);
    EXPECT_NE(calendar->shownMonth(), before);
}

} // namespace
} // namespace kestrel::test
