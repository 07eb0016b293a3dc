// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace kestrel {
namespace {

TEST(QtFileFilterTest, ConvertsDescriptionPatternPairs)
{
    const struct
    {
        const char* filter;
        const char* qt;
    } cases[] = {
        {"Text files(*.txt);|*.txt|All files|*.*", "Text files(*.txt); (*.txt);;All files (*)"},
        {"Pictures|*.bmp;*.png", "Pictures (*.bmp *.png)"},
        {"Anything|", "Anything (*)"},
        {"Text files|*.txt|", "Text files (*.txt)"},
        {"|*.txt", "*.txt (*.txt)"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QtFileFilter(QString::fromUtf8(c.filter)), QString::fromUtf8(c.qt)) << c.filter;
    }
}

// Runs `answer` on the modal dialog as soon as the dialog's own event loop runs.
void WhenModalShows(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, qApp, [answer = std::move(answer)] { answer(QApplication::activeModalWidget()); });
}

TEST(QtDialogsTest, MessageBoxOffersTheButtonsAndReturnsThePressedOne)
{
    using B = QMessageBox;
    const struct
    {
        Dialogs::Buttons buttons;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton press;
        Dialogs::Answer answer;
    } cases[] = {
        {Dialogs::Buttons::Ok, B::Ok, B::Ok, Dialogs::Answer::Ok},
        {Dialogs::Buttons::OkCancel, B::Ok | B::Cancel, B::Cancel, Dialogs::Answer::Cancel},
        {Dialogs::Buttons::YesNo, B::Yes | B::No, B::No, Dialogs::Answer::No},
        {Dialogs::Buttons::YesNoCancel, B::Yes | B::No | B::Cancel, B::Yes, Dialogs::Answer::Yes},
    };
    QtDialogs dialogs;
    for (const auto& c : cases) {
        QStringList seen;
        QMessageBox::StandardButtons shown;
        WhenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen << box->windowTitle() << box->text();
            shown = box->standardButtons();
            box->button(c.press)->click();
        });
        EXPECT_EQ(dialogs.MsgBox(QStringLiteral("6 Overflow"), c.buttons, Dialogs::Icon::Exclamation,
                                 QStringLiteral("Kestrel")),
                  c.answer);
        EXPECT_EQ(seen, (QStringList{"Kestrel", "6 Overflow"}));
        EXPECT_EQ(shown, c.shown);
    }
}

} // namespace
} // namespace kestrel
