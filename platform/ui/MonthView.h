// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"

#include <QCalendarWidget>

namespace kestrel {

// A month calendar that can be shown, hidden and placed. The program sets and reads its date as
// a date value and is told which date the user clicked.
class MonthView : public QCalendarWidget
{
    Q_OBJECT
public:
    explicit MonthView(QWidget* parent = nullptr);

    // The selected date at midnight.
    DateValue value() const;
    // Selects the date part of a date value and shows its month, without dateClicked.
    void setValue(DateValue date);

signals:
    // The user clicked a date, or pressed Enter on the selected one.
    void dateClicked(kestrel::DateValue date);
};

} // namespace kestrel
