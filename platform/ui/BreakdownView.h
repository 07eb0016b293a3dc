// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Dialogs.h"
#include "ElasticPanel.h"
#include "Styling.h"
#include "Units.h"

#include <QColor>
#include <QString>

#include <array>

class QLabel;

namespace kestrel {

// Where the parts of a breakdown view sit, in twips at design size, and how much larger than the
// chosen font sizes its texts are drawn.
struct BreakdownLayout
{
    const char* frameName; // the object name of the panel that fills the view
    double width;          // design size of the whole view
    double height;
    double upperHeight;      // > 0: the two rows sit in one panel ("vsElastic31") of this height
    double captionRowHeight; // the caption row starts at the top
    double numberRowTop;
    double numberRowHeight;
    double projectTop;
    double projectHeight;
    std::array<double, 5> columnLefts;
    std::array<double, 5> columnWidths;
    double labelInset;       // the labels' margin above and below inside their row
    double captionFontScale; // 1 in the breakdown window; larger to be read across a room
    double numberFontScale;
    double projectFontScale;
};

// The breakdown window's and the screensaver's layouts. The screensaver is read from across the
// room: its fonts are larger than the same sizes in the breakdown window, the numbers most, and
// still fit their columns at every screen shape.
// Each row: frame name; width, height; upper panel; caption row; number row top and height;
// project top and height; column lefts; column widths; label inset; font scales of the captions,
// numbers and project title.
// clang-format off
inline constexpr BreakdownLayout kBreakdownWindowLayout{
    "vsElastic111", 6810, 4890, 2445, 1230, 1230, 1215, 2445, 2445,
    {0, 1365, 2730, 4095, 5460}, {1365, 1365, 1365, 1365, 1350}, 0, 1.0, 1.0, 1.0};
inline constexpr BreakdownLayout kScreensaverLayout{
    "vsElastic11", 12240, 8925, 0, 2145, 2145, 1845, 4185, 4740,
    {15, 2460, 4905, 7350, 9795}, {2430, 2430, 2430, 2430, 2430}, 15, 2.0, 2.5, 2.0};
// clang-format on

// The look of one group of texts (the unit captions, the numbers or the project title).
struct GroupLook
{
    QColor back;
    QColor fore;
    FontChoice font;
};

// The breakdown as the breakdown window and the screensaver show it: five columns, each a unit
// caption ("lblCountType") over a number ("lblIntervalsLeft"), and the project title below
// ("VSEProject"), all scaling with the view.
class BreakdownView : public ElasticPanel
{
    Q_OBJECT
public:
    BreakdownView(const BreakdownLayout& layout, QWidget* parent = nullptr);

    // The labels of column k, 1 to 5 (nullptr for any other k).
    QLabel* captionLabel(int k) const;
    QLabel* numberLabel(int k) const;
    ElasticPanel* captionRow() const { return m_captionRow; }
    ElasticPanel* numberRow() const { return m_numberRow; }
    ElasticPanel* projectPanel() const { return m_project; }
    const std::array<QLabel*, 5>& captionLabels() const { return m_captions; }
    const std::array<QLabel*, 5>& numberLabels() const { return m_numbers; }

    // Shows column k: a hidden column keeps its texts and only leaves its space empty.
    void showColumn(int k, const QString& caption, bool captionVisible, const QString& number, bool numberVisible);
    // Shows the five columns of a breakdown display (anything with caption, captionVisible,
    // number and numberVisible members holding standard texts and flags).
    template <class Columns>
    void showColumns(const Columns& columns)
    {
        int k = 1;
        for (const auto& column : columns) {
            showColumn(k++, QString::fromStdString(column.caption), column.captionVisible,
                       QString::fromStdString(column.number), column.numberVisible);
        }
    }

    // The colours and fonts of the three groups, each font drawn at the layout's scale.
    void setCaptionLook(const GroupLook& look);
    void setNumberLook(const GroupLook& look);
    void setProjectLook(const GroupLook& look);
    // The three groups' looks from the breakdown styling.
    void setLooks(const BreakdownStyle& style);
    // The colours of the panels around the groups, which show where a group is hidden.
    void setPanelColors(const QColor& back, const QColor& fore);

private:
    BreakdownLayout m_layout;
    ElasticPanel* m_upper = nullptr;
    ElasticPanel* m_captionRow = nullptr;
    ElasticPanel* m_numberRow = nullptr;
    ElasticPanel* m_project = nullptr;
    std::array<QLabel*, 5> m_captions{};
    std::array<QLabel*, 5> m_numbers{};
};

} // namespace kestrel
