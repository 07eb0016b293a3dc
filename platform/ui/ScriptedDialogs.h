// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Dialogs.h"

#include <QStringList>

#include <deque>
#include <utility>
#include <variant>
#include <vector>

namespace kestrel {

// Dialogs for tests: records every dialog shown and answers from a queue of prepared answers.
// An empty queue answers as if the user pressed OK on a message box and cancelled every other
// dialog, so a test never waits on a window.
class ScriptedDialogs final : public Dialogs
{
public:
    // One shown dialog, as the user would have seen it.
    struct Shown
    {
        QString kind;   // "MsgBox", "InputBox", "Choice", "Color", "Font", "Save", "Printer"
        QString text;   // message or prompt (for "Save": the file name offered)
        QString title;  // title (for "Save": the filter)
        QString detail; // default answer, starting colour name, starting font, page span, the
                        // choices joined by "|"
                        // (for "Save": the title)
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };
    // The printer dialog answered with "Print to File (PDF)" and a file name, as a user without a
    // printer would answer it.
    struct PrintToFile
    {
        PrintRange range;
        QString pdfPath;
    };
    // The answer of a choice between buttons: the position of the button, nothing for Cancel.
    struct Choice
    {
        std::optional<int> taken;
    };
    using Reply = std::variant<Answer, QString, std::optional<QColor>, std::optional<FontChoice>,
                               std::optional<QString>, std::optional<PrintRange>, PrintToFile, Choice>;

    // Queue answers in the order the dialogs will be shown. Each reply is made in its place in the
    // queue: moving a reply in (push_back) makes g++ 12's optimiser warn falsely that parts of it
    // may be used uninitialised (-Wmaybe-uninitialized).
    void answerMsgBox(Answer answer) { queue<Answer>(answer); }
    void answerInputBox(const QString& text) { queue<QString>(text); }
    void answerChoice(std::optional<int> taken) { queue<Choice>(Choice{taken}); }
    void answerColor(std::optional<QColor> colour) { queue<std::optional<QColor>>(colour); }
    void answerFont(std::optional<FontChoice> font) { queue<std::optional<FontChoice>>(std::move(font)); }
    void answerSave(std::optional<QString> path) { queue<std::optional<QString>>(std::move(path)); }
    void answerPrinter(std::optional<PrintRange> range) { queue<std::optional<PrintRange>>(range); }
    void answerPrinterToFile(PrintRange range, const QString& pdfPath)
    {
        queue<PrintToFile>(PrintToFile{range, pdfPath});
    }

    const std::vector<Shown>& shown() const { return m_shown; }
    // The texts of the message boxes shown so far.
    QStringList messages() const;
    void clear() { m_shown.clear(); }
    bool allAnswered() const { return m_replies.empty(); }
    // Each time a dialog was shown while the next queued answer was meant for another kind of
    // dialog. The window's load steps catch the exception such a mismatch raises and go on, so
    // a test fixture checks this list: a script out of step with the window fails the test.
    const QStringList& scriptErrors() const { return m_scriptErrors; }

    Answer MsgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<int> ChooseOne(const QString& text, const QString& title, const QStringList& choices) override;
    std::optional<QColor> ShowColor(const QColor& initial) override;
    std::optional<FontChoice> ShowFont(const FontChoice& initial) override;
    std::optional<QString> ShowSave(const QString& fileName, const QString& filter, const QString& title) override;
    std::optional<PrintRange> ShowPrinter(QPrinter& printer, int minPage, int maxPage, PrintRange initial) override;

private:
    template <typename T>
    std::optional<T> next();
    template <typename T, typename Value>
    void queue(Value&& value)
    {
        m_replies.emplace_back(std::in_place_type<T>, std::forward<Value>(value));
    }

    std::deque<Reply> m_replies;
    std::vector<Shown> m_shown;
    QStringList m_scriptErrors;
};

} // namespace kestrel
