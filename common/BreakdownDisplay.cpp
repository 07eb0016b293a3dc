#include "BreakdownDisplay.h"

namespace kestrel {

UnitTexts UnitTexts::From(const ProgramSettings& s)
{
    return {s.YYBeforeText, s.YYAfterText,  s.DDBeforeText, s.DDAfterText,  s.HHBeforeText,
            s.HHAfterText,  s.MMBeforeText, s.MMAfterText,  s.SSBeforeText, s.SSAfterText};
}

namespace {

// Fills the columns from the left and hides them from the right, as the display always has.
class ColumnFiller
{
public:
    ColumnFiller(BreakdownColumns& columns, bool captionsVisible) : m_columns(columns), m_captions(captionsVisible) {}

    void hide()
    {
        BreakdownColumn& column = m_columns[static_cast<std::size_t>(m_nextToHide - 1)];
        column.captionVisible = false;
        column.numberVisible = false;
        --m_nextToHide;
    }

    void show(int k, long long value, const std::string& before, const std::string& after)
    {
        BreakdownColumn& column = m_columns[static_cast<std::size_t>(k - 1)];
        column.captionVisible = m_captions;
        column.number = std::to_string(value);
        column.caption = before + after;
        column.numberVisible = true;
    }

private:
    BreakdownColumns& m_columns;
    bool m_captions;
    int m_nextToHide = 5;
};

} // namespace

BreakdownColumns showCountdown(std::string_view captionOption, const CountdownBreakdown& b, const UnitTexts& t,
                               bool captionsVisible, BreakdownVariant variant)
{
    BreakdownColumns columns;
    const bool screensaver = variant == BreakdownVariant::Screensaver;
    ColumnFiller fill(columns, captionsVisible || screensaver);
    const std::size_t length = captionOption.size();
    FormatFamily family = FamilyOf(captionOption);
    if (screensaver && family == FormatFamily::Hours) {
        family = FormatFamily::Days;
    }
    switch (family) {
    case FormatFamily::Years:
        fill.show(1, b.YearsPart, t.YYBefore, t.YYAfter);
        length < 4 ? fill.hide() : fill.show(2, b.DaysPart, t.DDBefore, t.DDAfter);
        length < 6 ? fill.hide() : fill.show(3, b.HoursPart, t.HHBefore, t.HHAfter);
        length < 10 ? fill.hide() : fill.show(4, b.MinutesPart, t.MMBefore, t.MMAfter);
        length < 13 ? fill.hide() : fill.show(5, b.SecondsPart, t.SSBefore, t.SSAfter);
        break;
    case FormatFamily::Days:
        fill.hide();
        fill.show(1, b.TotalDays, t.DDBefore, t.DDAfter);
        length < 4 ? fill.hide() : fill.show(2, b.HoursPart, t.HHBefore, t.HHAfter);
        length < 6 ? fill.hide() : fill.show(3, b.MinutesPart, t.MMBefore, t.MMAfter);
        length < 10 ? fill.hide() : fill.show(4, b.SecondsPart, t.SSBefore, t.SSAfter);
        break;
    case FormatFamily::Hours:
        fill.hide();
        fill.hide();
        fill.show(1, b.TotalHours(), t.HHBefore, t.HHAfter);
        length < 4 ? fill.hide() : fill.show(2, b.MinutesPart, t.MMBefore, t.MMAfter);
        length < 6 ? fill.hide() : fill.show(3, b.SecondsPart, t.SSBefore, t.SSAfter);
        break;
    }
    return columns;
}

} // namespace kestrel
