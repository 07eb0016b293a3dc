// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QFont>

namespace kestrel::test {

// Sets the application's font to a point size for one test, as a desktop font setting would,
// and puts the desktop's font back when the test ends.
class ScopedApplicationFont
{
public:
    explicit ScopedApplicationFont(double pointSize) : m_desktopFont(QApplication::font())
    {
        QFont font = m_desktopFont;
        font.setPointSizeF(pointSize);
        QApplication::setFont(font);
    }
    ~ScopedApplicationFont() { QApplication::setFont(m_desktopFont); }
    ScopedApplicationFont(const ScopedApplicationFont&) = delete;
    ScopedApplicationFont& operator=(const ScopedApplicationFont&) = delete;

private:
    QFont m_desktopFont;
};

} // namespace kestrel::test
