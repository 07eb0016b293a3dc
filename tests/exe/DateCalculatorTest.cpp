// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateCalculator.h"
#include "ElasticPanel.h"
#include "MonthView.h"
#include "ProgramFixture.h"
#include "Units.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace kestrel::test {
namespace {

class DateCalculatorTest : public ProgramFixture
{
protected:
    // Closed windows are deleted by the event loop; that happens before the program goes.
    void TearDown() override
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<DateCalculator*>(window) != nullptr) {
                window->close();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ProgramFixture::TearDown();
    }

    // Opens the calculator with the toolbar's "Time Calculator" button.
    DateCalculator& OpenCalculator()
    {
        if (!toolbar) {
            StartToolbar();
        }
        toolbar->pressButton(Button::Calculator);
        auto* window = qobject_cast<DateCalculator*>(program->windows.find("frmCalc"));
        if (window == nullptr) {
            throw std::runtime_error("the calculator did not open");
        }
        return *window;
    }

    // A control found by its object name and, for a group of like controls, its index.
    template <typename Control>
    static Control* Find(const DateCalculator& window, const char* name, int index = -1)
    {
        for (Control* control : window.findChildren<Control*>(QString::fromLatin1(name))) {
            if (index < 0 || control->property("Index").toInt() == index) {
                return control;
            }
        }
        return nullptr;
    }

    static QString Answer(const DateCalculator& window) { return window.answerPanel()->caption(); }

    // Clicks a date in the open picker as the user does: select it, then Enter on the grid.
    static void PickDate(DateCalculator& window, QDate date)
    {
        ASSERT_TRUE(window.picker()->isVisible());
        window.picker()->setSelectedDate(date);
        auto* grid = window.picker()->findChild<QAbstractItemView*>("qt_calendar_calendarview");
        ASSERT_NE(grid, nullptr);
        QTest::keyClick(grid, Qt::Key_Return);
    }

    // Shows the window and gives it the keyboard focus, as a user's click would.
    static void Activate(DateCalculator& window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

TEST_F(DateCalculatorTest, LoadsWithoutSettingsFileFromTodayToTheTarget)
{
    ASSERT_FALSE(std::filesystem::exists(settingsPath()));
    DateCalculator& window = OpenCalculator();
    EXPECT_EQ(window.windowTitle(), "Time Calculator");
    EXPECT_TRUE(toolbar->openFlag(Button::Calculator));
    QStringList items;
    for (int i = 0; i < window.intervalBox()->count(); ++i) {
        items << window.intervalBox()->itemText(i);
    }
    EXPECT_EQ(items,
              (QStringList{"Days", "WorkDays", "Weeks", "Quarters", "Months", "Years", "Hours", "Minutes", "Seconds"}));
    EXPECT_EQ(window.intervalBox()->currentText(), "Days");
    EXPECT_EQ(window.fromBox()->text(), "Dec 30, 1999");
    EXPECT_EQ(window.toBox()->text(), "Jan 1, 2000");
    EXPECT_EQ(Answer(window), "2 Days");
    EXPECT_FALSE(window.picker()->isVisible());
    // Without a stored place: the top of the screen, centred across it (give or take the frame,
    // which is not known before the window first shows).
    EXPECT_NEAR(WindowTopTwips(window), 0, 15);
    EXPECT_NEAR(WindowLeftTwips(window), (ScreenWidthTwips() - PixelsToTwips(window.frameGeometry().width())) / 2, 60);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

struct LoadCase
{
    const char* settings;
    const char* interval;
    const char* to;
    const char* answer;
};

TEST_F(DateCalculatorTest, LoadTakesTheIntervalAndTheToDateFromTheTarget)
{
    const LoadCase cases[] = {
        {"[Target Date]\nTarget_Type=WorkDays\n", "WorkDays", "Jan 1, 2000", "2 WorkDays"},
        {"[Target Date]\nTarget_Year=2003\nTarget_Month=3\nTarget_Day=15\n", "Days", "Mar 15, 2003", "1,171 Days"},
        {"[Target Date]\nTarget_Year=1999\nTarget_Month=12\nTarget_Day=23\n", "Days", "Dec 23, 1999", "-7 Days"},
        // A damaged settings file: an unknown interval, a month that does not exist.
        // Any day type but exactly "WorkDays" counts calendar days, as every display counts.
        {"[Target Date]\nTarget_Type=Fortnights\n", "Days", "Jan 1, 2000", "2 Days"},
        {"[Target Date]\nTarget_Type=workdays\n", "Days", "Jan 1, 2000", "2 Days"},
        {"[Target Date]\nTarget_Month=13\n", "Days", " 1, 2000", "Pick a To date"},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.settings);
        WriteSettings(c.settings);
        DateCalculator& window = OpenCalculator();
        EXPECT_EQ(window.intervalBox()->currentText(), c.interval);
        EXPECT_EQ(window.toBox()->text(), c.to);
        EXPECT_EQ(Answer(window), c.answer);
        EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("\n").toStdString();
        window.close();
        toolbar.reset();
    }
}

struct ControlCase
{
    const char* name;
    int index;
    const char* caption;
    const char* tooltip;
};

TEST_F(DateCalculatorTest, ControlsShowTheirCaptionsAccessKeysAndTooltips)
{
    DateCalculator& window = OpenCalculator();
    const ControlCase buttons[] = {
        {"Command3", 0, "C&al...", "Determine the From Date"},    {"Command3", 1, "Ca&l...", ""},
        {"Command2", 0, "&Y2K", "et To Date to January 1, 2000"}, {"Command2", 1, "&Today", "Set To to todays date"},
        {"Command2", 2, "&Copy", "Copy Answer to Clipboard"},
    };
    for (const ControlCase& c : buttons) {
        const QPushButton* button = Find<QPushButton>(window, c.name, c.index);
        ASSERT_NE(button, nullptr) << c.name << c.index;
        EXPECT_EQ(button->text(), c.caption);
        EXPECT_EQ(button->toolTip(), c.tooltip) << c.caption;
    }
    const ControlCase labels[] = {
        {"Label1", -1, "&Determine the number of ...", "cboTypeOfCalculation"},
        {"lblFrom", -1, "&From:", "txtFromDate"},
        {"Label2", -1, "&To:", "txtToDate"},
    };
    for (const ControlCase& c : labels) {
        const QLabel* label = Find<QLabel>(window, c.name);
        ASSERT_NE(label, nullptr) << c.name;
        EXPECT_EQ(label->text(), c.caption);
        // The access key moves the focus to the control the label names.
        ASSERT_NE(label->buddy(), nullptr) << c.name;
        EXPECT_EQ(label->buddy()->objectName(), c.tooltip);
    }
    EXPECT_EQ(window.fromBox()->toolTip(), "Determine the From Date");
    EXPECT_EQ(window.toBox()->toolTip(), "Determine the To Date");
    const QAction* exit = window.findChild<QAction*>("mnuClose");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->text(), "&Exit");
}

TEST_F(DateCalculatorTest, ButtonsSetTheToDateAndCopyTheAnswer)
{
    DateCalculator& window = OpenCalculator();
    const auto click = [&window](int index) {
        QTest::mouseClick(Find<QPushButton>(window, "Command2", index), Qt::LeftButton);
    };

    click(1); // "&Today"
    EXPECT_EQ(window.toBox()->text(), "Dec 30, 1999");
    EXPECT_EQ(Answer(window), "0 Days");

    click(0); // "&Y2K": the answer follows at once
    EXPECT_EQ(window.toBox()->text(), "Jan 01, 2000");
    EXPECT_EQ(Answer(window), "2 Days");

    QGuiApplication::clipboard()->setText("something older");
    click(2); // "&Copy": exactly the answer, as plain text
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "2 Days");

    window.intervalBox()->setCurrentText("Seconds");
    window.chooseInterval();
    click(2);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "172,800 Seconds");
    EXPECT_EQ(window.fromBox()->text(), "Dec 30, 1999") << "no button changes the From date";
}

struct PickerCase
{
    const char* how;
    std::function<void(DateCalculator&)> open;
    DateCalculator::Field field;
};

TEST_F(DateCalculatorTest, EachPickerChangesOnlyItsOwnField)
{
    const auto clickOn = [](const char* name, int index) {
        return [name, index](DateCalculator& w) { QTest::mouseClick(Find<QWidget>(w, name, index), Qt::LeftButton); };
    };
    // clang-format off
    const PickerCase cases[] = {
        {"C&al...", clickOn("Command3", 0), DateCalculator::Field::From},
        {"&From:", clickOn("lblFrom", -1), DateCalculator::Field::From},
        {"From box", clickOn("txtFromDate", -1), DateCalculator::Field::From},
        {"F4 in the From box", [](DateCalculator& w) { QTest::keyClick(w.fromBox(), Qt::Key_F4); }, DateCalculator::Field::From},
        {"Ca&l...", clickOn("Command3", 1), DateCalculator::Field::To},
        {"&To:", clickOn("Label2", -1), DateCalculator::Field::To},
        {"To box", clickOn("txtToDate", -1), DateCalculator::Field::To},
        {"Alt+Down in the To box", [](DateCalculator& w) { QTest::keyClick(w.toBox(), Qt::Key_Down, Qt::AltModifier); }, DateCalculator::Field::To},
    };
    // clang-format on
    for (const PickerCase& c : cases) {
        SCOPED_TRACE(c.how);
        DateCalculator& window = OpenCalculator();
        window.show();
        const bool from = c.field == DateCalculator::Field::From;
        QLineEdit* mine = from ? window.fromBox() : window.toBox();
        QLineEdit* other = from ? window.toBox() : window.fromBox();
        const QString otherBefore = other->text();

        c.open(window);
        ASSERT_TRUE(window.picker()->isVisible());
        // It opens at the date its box holds, just below that box.
        EXPECT_EQ(window.picker()->selectedDate(), from ? QDate(1999, 12, 30) : QDate(2000, 1, 1));
        const QPoint boxBottom = mine->mapToGlobal(QPoint(0, mine->height()));
        EXPECT_GE(window.picker()->y(), boxBottom.y());
        EXPECT_LE(window.picker()->y(), boxBottom.y() + 4);

        PickDate(window, QDate(2000, 2, 29));
        EXPECT_FALSE(window.picker()->isVisible());
        EXPECT_EQ(mine->text(), "Feb 29, 2000");
        EXPECT_EQ(other->text(), otherBefore);
        EXPECT_EQ(Answer(window), from ? "-59 Days" : "61 Days");
        window.close();
        toolbar.reset();
    }
}

TEST_F(DateCalculatorTest, PickerOpensAtTodayWhenTheBoxHoldsNoDateAndEscapeLeavesIt)
{
    DateCalculator& window = OpenCalculator();
    window.show();
    window.fromBox()->setText("Click a Date");
    window.openPicker(DateCalculator::Field::From);
    EXPECT_EQ(window.picker()->selectedDate(), QDate(1999, 12, 30));

    QTest::keyClick(window.picker()->findChild<QAbstractItemView*>("qt_calendar_calendarview"), Qt::Key_Escape);
    EXPECT_FALSE(window.picker()->isVisible());
    EXPECT_EQ(window.fromBox()->text(), "Click a Date");
    EXPECT_TRUE(window.isVisible()) << "Escape closes the picker, not the window";
}

TEST_F(DateCalculatorTest, DateBoxesSwallowTypingWhileTheIntervalBoxAcceptsIt)
{
    DateCalculator& window = OpenCalculator();
    window.show();
    QGuiApplication::clipboard()->setText("Jan 1, 1990");
    for (QLineEdit* box : {window.fromBox(), window.toBox()}) {
        const QString before = box->text();
        QTest::keyClicks(box, "Mar 3, 2001");
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(box->text(), before) << box->objectName().toStdString();
    }
    EXPECT_EQ(Answer(window), "2 Days");

    // Typing over the interval keeps the last answer; Enter takes the typed text as chosen. The
    // keys go to the interval box, which has the focus, as a user's keys do.
    QComboBox* interval = window.intervalBox();
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        interval->lineEdit()->selectAll();
        QTest::keyClicks(interval, "Fortnights");
        EXPECT_EQ(interval->currentText(), "Fortnights");
        EXPECT_EQ(Answer(window), "2 Days");
        QTest::keyClick(interval, enter);
        EXPECT_EQ(Answer(window), "Choose an interval from the list");
        interval->lineEdit()->selectAll();
        QTest::keyClicks(interval, "Hours");
        QTest::keyClick(interval, enter);
        EXPECT_EQ(Answer(window), "48 Hours");
        interval->lineEdit()->selectAll();
        QTest::keyClicks(interval, "Days");
        QTest::keyClick(interval, enter);
        EXPECT_EQ(Answer(window), "2 Days");
    }
}

TEST_F(DateCalculatorTest, IntervalChosenWithoutFromDateMovesTheFocusAndComputesNothing)
{
    DateCalculator& window = OpenCalculator();
    Activate(window);
    for (const char* noDate : {"", "Click a Date"}) {
        SCOPED_TRACE(noDate);
        window.fromBox()->setText(noDate);
        const QString before = Answer(window);
        window.intervalBox()->setFocus();
        ASSERT_TRUE(window.intervalBox()->hasFocus());
        QTest::keyClick(window.intervalBox(), Qt::Key_Down); // chooses the next item of the list
        EXPECT_TRUE(window.fromBox()->hasFocus());
        EXPECT_EQ(Answer(window), before);
    }
    // With a From date the chosen interval is computed.
    window.fromBox()->setText("Dec 27, 1999");
    window.intervalBox()->setCurrentIndex(0);
    window.intervalBox()->setFocus();
    QTest::keyClick(window.intervalBox(), Qt::Key_Down);
    EXPECT_EQ(window.intervalBox()->currentText(), "WorkDays");
    EXPECT_EQ(Answer(window), "5 WorkDays");
}

TEST_F(DateCalculatorTest, ScreenReadersReadTheAnswerAsThePanelsName)
{
    DateCalculator& window = OpenCalculator();
    EXPECT_EQ(window.answerPanel()->accessibleName(), "2 Days");
    window.setToToday();
    EXPECT_EQ(window.answerPanel()->accessibleName(), "0 Days");
    window.intervalBox()->setCurrentText("Fortnights");
    window.setToY2K();
    EXPECT_EQ(window.answerPanel()->accessibleName(), "Choose an interval from the list");
}

struct ExitCase
{
    const char* how;
    std::function<void(DateCalculator&)> arrange;
    const char* state;
    const char* top;
    const char* left;
};

TEST_F(DateCalculatorTest, ExitRemembersTheStateAndOnlyANormalWindowsPlace)
{
    const ExitCase cases[] = {
        {"normal", [](DateCalculator& w) { MoveWindowTwips(w, 1200, 2400); }, "0", "1200", "2400"},
        {"maximised", [](DateCalculator& w) { w.showMaximized(); }, "2", "1200", "2400"},
        {"minimised", [](DateCalculator& w) { w.showMinimized(); }, "1", "1200", "2400"},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.how);
        DateCalculator& window = OpenCalculator();
        window.show();
        c.arrange(window);
        window.exitWindow();
        EXPECT_EQ(Setting("Forms Position", "CalcWindowState"), c.state);
        EXPECT_EQ(Setting("Forms Position", "CalcTop"), c.top);
        EXPECT_EQ(Setting("Forms Position", "CalcLeft"), c.left);
        EXPECT_FALSE(toolbar->openFlag(Button::Calculator));
        EXPECT_EQ(program->windows.find("frmCalc"), nullptr);
    }
    // The next opening returns to the remembered place.
    DateCalculator& again = OpenCalculator();
    EXPECT_DOUBLE_EQ(WindowTopTwips(again), 1200);
    EXPECT_DOUBLE_EQ(WindowLeftTwips(again), 2400);
}

TEST_F(DateCalculatorTest, ToolbarButtonTogglesAndTheCloseBoxStoresNothing)
{
    DateCalculator& window = OpenCalculator();
    QPointer<DateCalculator> first(&window);
    toolbar->pressButton(Button::Calculator);
    QApplication::processEvents();
    EXPECT_TRUE(first.isNull()) << "the second press closes the window";
    EXPECT_FALSE(toolbar->openFlag(Button::Calculator));

    DateCalculator& again = OpenCalculator();
    const std::string before = ReadSettings();
    MoveWindowTwips(again, 900, 900);
    again.close();
    EXPECT_EQ(ReadSettings(), before);
    EXPECT_FALSE(toolbar->openFlag(Button::Calculator));
}

TEST_F(DateCalculatorTest, ProgramExitRecordsTheOpenCalculatorAndItsPlace)
{
    DateCalculator& window = OpenCalculator();
    window.show();
    MoveWindowTwips(window, 600, 750);
    SaveOpenWindows(*program);
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "1");
    EXPECT_EQ(Setting("Forms Open", "Form1"), "frmCalc");
    EXPECT_EQ(Setting("Forms Position", "CalcWindowState"), "0");
    EXPECT_EQ(Setting("Forms Position", "CalcTop"), "600");
    EXPECT_EQ(Setting("Forms Position", "CalcLeft"), "750");
}

TEST_F(DateCalculatorTest, AnswerGrowsWithTheWindowAndThePickerStaysOnTheScreen)
{
    DateCalculator& window = OpenCalculator();
    window.show();
    window.resize(window.minimumSizeHint());
    QApplication::processEvents();
    const double small = window.answerPanel()->scale();
    // Even at the foot of the screen the picker shows whole, above its box.
    window.move(window.x(), window.screen()->availableGeometry().bottom() - window.height());
    for (DateCalculator::Field field : {DateCalculator::Field::From, DateCalculator::Field::To}) {
        window.openPicker(field);
        EXPECT_TRUE(window.screen()->availableGeometry().contains(window.picker()->geometry()));
        EXPECT_LT(window.picker()->geometry().bottom(), field == DateCalculator::Field::From
                                                            ? window.fromBox()->mapToGlobal(QPoint(0, 0)).y()
                                                            : window.toBox()->mapToGlobal(QPoint(0, 0)).y());
        window.picker()->hide();
    }
    window.resize(window.size() * 2);
    QApplication::processEvents();
    EXPECT_GT(window.answerPanel()->scale(), small * 1.5);
}

} // namespace
} // namespace kestrel::test
