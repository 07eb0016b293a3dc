// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace kestrel {

// A one-line label whose text is drawn smaller when it would not fit its width, so a long
// number never runs out of its column, whatever font the user chose.
class FitLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The font the text is drawn in: the label's font, made smaller as far as the text needs.
    QFont fittedFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kestrel
