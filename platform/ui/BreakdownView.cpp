// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "BreakdownView.h"

#include "FitLabel.h"

#include <QLabel>

namespace kestrel {

namespace {

constexpr std::array<const char*, 5> kDesignCaptions = {"Years", "Days", "Hours", "Minutes", "Seconds"};

QFont ScaledFont(const FontChoice& font, double scale)
{
    return FontFromChoice({font.name, font.size * scale, font.bold, font.italic});
}

} // namespace

BreakdownView::BreakdownView(const BreakdownLayout& layout, QWidget* parent) : ElasticPanel(parent), m_layout(layout)
{
    setObjectName(QString::fromLatin1(layout.frameName));
    setDesignSize(layout.width, layout.height);

    // The rows sit either straight in the view or in an upper panel of their own.
    ElasticPanel* rows = this;
    if (layout.upperHeight > 0) {
        m_upper = new ElasticPanel(this);
        m_upper->setObjectName(QStringLiteral("vsElastic31"));
        place(m_upper, 0, 0, layout.width, layout.upperHeight);
        rows = m_upper;
    }
    m_captionRow = new ElasticPanel(rows);
    m_captionRow->setObjectName(QStringLiteral("vsElastic1"));
    rows->place(m_captionRow, 0, 0, layout.width, layout.captionRowHeight);
    m_numberRow = new ElasticPanel(rows);
    m_numberRow->setObjectName(QStringLiteral("vsElastic2"));
    rows->place(m_numberRow, 0, layout.numberRowTop, layout.width, layout.numberRowHeight);

    const double inset = layout.labelInset;
    for (std::size_t k = 0; k < 5; ++k) {
        auto* caption = new QLabel(QString::fromLatin1(kDesignCaptions[k]), m_captionRow);
        caption->setObjectName(QStringLiteral("lblCountType"));
        caption->setProperty("Index", static_cast<int>(k + 1));
        caption->setAlignment(Qt::AlignCenter);
        caption->setWordWrap(true);
        m_captionRow->place(caption, layout.columnLefts[k], inset, layout.columnWidths[k],
                            layout.captionRowHeight - 2 * inset);
        m_captions[k] = caption;

        auto* number = new FitLabel(m_numberRow);
        number->setObjectName(QStringLiteral("lblIntervalsLeft"));
        number->setProperty("Index", static_cast<int>(k + 1));
        number->setAlignment(Qt::AlignCenter);
        m_numberRow->place(number, layout.columnLefts[k], inset, layout.columnWidths[k],
                           layout.numberRowHeight - 2 * inset);
        m_numbers[k] = number;
    }

    m_project = new ElasticPanel(this);
    m_project->setObjectName(QStringLiteral("VSEProject"));
    place(m_project, 0, layout.projectTop, layout.width, layout.projectHeight);
}

QLabel* BreakdownView::captionLabel(int k) const
{
    return k >= 1 && k <= 5 ? m_captions[static_cast<std::size_t>(k - 1)] : nullptr;
}

QLabel* BreakdownView::numberLabel(int k) const
{
    return k >= 1 && k <= 5 ? m_numbers[static_cast<std::size_t>(k - 1)] : nullptr;
}

void BreakdownView::showColumn(int k, const QString& caption, bool captionVisible, const QString& number,
                               bool numberVisible)
{
    QLabel* captionLabel = this->captionLabel(k);
    QLabel* numberLabel = this->numberLabel(k);
    if (captionLabel == nullptr) {
        return;
    }
    if (numberVisible) {
        numberLabel->setText(number);
        captionLabel->setText(caption);
    }
    captionLabel->setVisible(captionVisible);
    numberLabel->setVisible(numberVisible);
}

void BreakdownView::setLooks(const BreakdownStyle& style)
{
    const auto lookOf = [](const GroupStyle& group) {
        return GroupLook{ColorFromValue(group.backColor), ColorFromValue(group.foreColor), group.font};
    };
    setCaptionLook(lookOf(style.caption));
    setNumberLook(lookOf(style.interval));
    setProjectLook(lookOf(style.project));
}

void BreakdownView::setCaptionLook(const GroupLook& look)
{
    for (QLabel* caption : m_captions) {
        SetColors(*caption, look.back, look.fore);
        setDesignFont(caption, ScaledFont(look.font, m_layout.captionFontScale));
    }
}

void BreakdownView::setNumberLook(const GroupLook& look)
{
    for (QLabel* number : m_numbers) {
        SetColors(*number, look.back, look.fore);
        setDesignFont(number, ScaledFont(look.font, m_layout.numberFontScale));
    }
}

void BreakdownView::setProjectLook(const GroupLook& look)
{
    SetColors(*m_project, look.back, look.fore);
    m_project->setDesignFont(ScaledFont(look.font, m_layout.projectFontScale));
}

void BreakdownView::setPanelColors(const QColor& back, const QColor& fore)
{
    for (ElasticPanel* panel : {static_cast<ElasticPanel*>(this), m_upper, m_captionRow, m_numberRow}) {
        if (panel != nullptr) {
            SetColors(*panel, back, fore);
        }
    }
}

} // namespace kestrel
