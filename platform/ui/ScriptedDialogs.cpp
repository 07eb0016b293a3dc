// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedDialogs.h"

#include <QPrinter>

#include <iterator>
#include <stdexcept>
#include <string>

namespace kestrel {

namespace {

// The dialog each kind of queued reply answers, for the message of a broken script.
const char* ReplyKind(std::size_t index)
{
    static constexpr const char* kKinds[] = {"MsgBox", "InputBox", "Color",   "Font",
                                             "Save",   "Printer",  "Printer", "Choice"};
    static_assert(std::size(kKinds) == std::variant_size_v<ScriptedDialogs::Reply>);
    return index < std::size(kKinds) ? kKinds[index] : "unknown";
}

QString DescribeFont(const FontChoice& font)
{
    QString text = QStringLiteral("%1, %2").arg(QString::fromStdString(font.name)).arg(font.size);
    if (font.bold) {
        text += QStringLiteral(", bold");
    }
    if (font.italic) {
        text += QStringLiteral(", italic");
    }
    return text;
}

} // namespace

QStringList ScriptedDialogs::messages() const
{
    QStringList texts;
    for (const Shown& shown : m_shown) {
        if (shown.kind == QLatin1String("MsgBox")) {
            texts << shown.text;
        }
    }
    return texts;
}

// The next queued reply when it is meant for this kind of dialog; no value when the queue is
// empty. A reply meant for another dialog means the test's script is out of step with the window.
//
// GCC 12's optimiser takes the move of an empty std::optional<QString> out of the variant for a
// read of uninitialised memory (-Wmaybe-uninitialized, release build only); the move is sound.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
template <typename T>
std::optional<T> ScriptedDialogs::next()
{
    if (m_replies.empty()) {
        return std::nullopt;
    }
    T* reply = std::get_if<T>(&m_replies.front());
    if (reply == nullptr) {
        const Shown& shown = m_shown.back();
        const std::string error = "ScriptedDialogs: a " + shown.kind.toStdString() + " (\"" + shown.text.toStdString() +
                                  "\") was shown but the next queued answer is for a " +
                                  ReplyKind(m_replies.front().index());
        m_scriptErrors.push_back(QString::fromStdString(error));
        throw std::logic_error(error);
    }
    std::optional<T> value(std::move(*reply));
    m_replies.pop_front();
    return value;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

Dialogs::Answer ScriptedDialogs::MsgBox(const QString& text, Buttons buttons, Icon icon, const QString& title)
{
    m_shown.push_back({QStringLiteral("MsgBox"), text, title, QString(), icon, buttons});
    return next<Answer>().value_or(Answer::Ok);
}

QString ScriptedDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    m_shown.push_back({QStringLiteral("InputBox"), prompt, title, defaultText});
    return next<QString>().value_or(QString());
}

std::optional<int> ScriptedDialogs::ChooseOne(const QString& text, const QString& title, const QStringList& choices)
{
    m_shown.push_back({QStringLiteral("Choice"), text, title, choices.join(QLatin1Char('|'))});
    return next<Choice>().value_or(Choice{}).taken;
}

std::optional<QColor> ScriptedDialogs::ShowColor(const QColor& initial)
{
    m_shown.push_back({QStringLiteral("Color"), QString(), QString(), initial.name()});
    return next<std::optional<QColor>>().value_or(std::nullopt);
}

std::optional<FontChoice> ScriptedDialogs::ShowFont(const FontChoice& initial)
{
    m_shown.push_back({QStringLiteral("Font"), QString(), QString(), DescribeFont(initial)});
    return next<std::optional<FontChoice>>().value_or(std::nullopt);
}

std::optional<QString> ScriptedDialogs::ShowSave(const QString& fileName, const QString& filter, const QString& title)
{
    Shown shown{QStringLiteral("Save"), fileName, filter, title};
    m_shown.push_back(shown);
    return next<std::optional<QString>>().value_or(std::nullopt);
}

std::optional<PrintRange> ScriptedDialogs::ShowPrinter(QPrinter& printer, int minPage, int maxPage, PrintRange initial)
{
    QString span = QStringLiteral("%1-%2").arg(minPage).arg(maxPage);
    if (initial.fromPage > 0) {
        span += QStringLiteral(" (%1-%2)").arg(initial.fromPage).arg(initial.toPage);
    }
    m_shown.push_back({QStringLiteral("Printer"), QString(), QString(), span});
    if (!m_replies.empty() && std::holds_alternative<PrintToFile>(m_replies.front())) {
        const PrintToFile reply = *next<PrintToFile>();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(reply.pdfPath);
        return reply.range;
    }
    return next<std::optional<PrintRange>>().value_or(std::nullopt);
}

} // namespace kestrel
