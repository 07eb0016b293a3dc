// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Look.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

namespace kestrel {

// The pages to print, chosen in the printer dialog.
struct PrintRange
{
    int fromPage = 0; // 0: all pages
    int toPage = 0;
    friend bool operator==(const PrintRange&, const PrintRange&) = default;
};

// Every message box, input box and common dialog of the program goes through this service,
// so that tests can answer them without a window showing.
class Dialogs
{
public:
    enum class Buttons
    {
        Ok,
        OkCancel,
        YesNo,
        YesNoCancel,
    };
    enum class Icon
    {
        None,
        Information,
        Exclamation,
        Critical,
        Question,
    };
    enum class Answer
    {
        Ok,
        Cancel,
        Yes,
        No,
    };

    virtual ~Dialogs() = default;

    // A message box; returns the button pressed.
    virtual Answer MsgBox(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                          const QString& title = QStringLiteral("Kestrel")) = 0;
    // An input box with a prompt, a title and a default answer; the text typed, or an empty
    // text when the user cancels.
    virtual QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    // A question with a button per choice and Cancel: the position of the choice taken, nothing
    // when cancelled.
    virtual std::optional<int> ChooseOne(const QString& text, const QString& title, const QStringList& choices) = 0;
    // The colour dialog, starting from `initial`; no value when the user cancels.
    virtual std::optional<QColor> ShowColor(const QColor& initial) = 0;
    // The font dialog, starting from `initial`; no value when the user cancels.
    virtual std::optional<FontChoice> ShowFont(const FontChoice& initial) = 0;
    // The save-as dialog. `filter` is written as description|pattern pairs separated by "|"
    // ("Text files(*.txt);|*.txt|All files|*.*"). The chosen path, or no value when cancelled.
    virtual std::optional<QString> ShowSave(const QString& fileName, const QString& filter,
                                            const QString& title = QString()) = 0;
    // The printer dialog for `printer` with the pages minPage to maxPage on offer; the chosen
    // range (printer settings are stored in `printer`), or no value when cancelled.
    virtual std::optional<PrintRange> ShowPrinter(QPrinter& printer, int minPage, int maxPage, PrintRange initial) = 0;

    // The parent of the dialogs (the toolbar window); null for none.
    void setParentWindow(QWidget* parent) { m_parent = parent; }
    QWidget* parentWindow() const { return m_parent; }

private:
    QWidget* m_parent = nullptr;
};

// For callers that treat a cancelled dialog as an error: the value, or run-time error 32755.
template <typename T>
T CancelAsError(std::optional<T> choice);

// The dialogs of the running program, shown with Qt.
class QtDialogs final : public Dialogs
{
public:
    Answer MsgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<int> ChooseOne(const QString& text, const QString& title, const QStringList& choices) override;
    std::optional<QColor> ShowColor(const QColor& initial) override;
    std::optional<FontChoice> ShowFont(const FontChoice& initial) override;
    std::optional<QString> ShowSave(const QString& fileName, const QString& filter, const QString& title) override;
    std::optional<PrintRange> ShowPrinter(QPrinter& printer, int minPage, int maxPage, PrintRange initial) override;
};

// Converts the filter text of the save-as dialog ("Text files(*.txt);|*.txt|All files|*.*")
// into Qt's form ("Text files(*.txt); (*.txt);;All files (*)").
QString QtFileFilter(const QString& filter);

} // namespace kestrel

#include "RuntimeError.h"

template <typename T>
T kestrel::CancelAsError(std::optional<T> choice)
{
    if (!choice) {
        throw RuntimeError(RuntimeError::DialogCancelled);
    }
    return *std::move(choice);
}
