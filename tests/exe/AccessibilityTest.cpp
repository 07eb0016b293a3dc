// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsDialog.h"
#include "ProgramFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

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

} // namespace
} // namespace kestrel::test
