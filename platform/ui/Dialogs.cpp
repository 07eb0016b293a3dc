// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Dialogs.h"

#include "Units.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace kestrel {

namespace {

QMessageBox::StandardButtons StandardButtonsFor(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return QMessageBox::Ok;
    case Dialogs::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon MessageIconFor(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::None:
        return QMessageBox::NoIcon;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The answer when the box was closed without a button (the window's close box): the button that
// Escape would press.
Dialogs::Answer EscapeAnswerFor(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return Dialogs::Answer::Ok;
    case Dialogs::Buttons::YesNo:
        return Dialogs::Answer::No;
    case Dialogs::Buttons::OkCancel:
    case Dialogs::Buttons::YesNoCancel:
        return Dialogs::Answer::Cancel;
    }
    return Dialogs::Answer::Cancel;
}

// One pattern list of the save-as filter in Qt's form: ";" separates patterns, and "*.*" means
// every file (on Linux a name need not hold a dot).
QString QtPatterns(const QString& patterns)
{
    QStringList list;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (trimmed.isEmpty()) {
            continue;
        }
        list << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (list.isEmpty()) {
        list << QStringLiteral("*");
    }
    list.removeDuplicates();
    return list.join(QLatin1Char(' '));
}

} // namespace

QString QtFileFilter(const QString& filter)
{
    if (filter.trimmed().isEmpty()) {
        return QString();
    }
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns = QtPatterns(i + 1 < parts.size() ? parts.at(i + 1) : QString());
        if (description.isEmpty() && i + 1 >= parts.size()) {
            continue; // a trailing "|"
        }
        filters << QStringLiteral("%1 (%2)").arg(description.isEmpty() ? patterns : description, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

Dialogs::Answer QtDialogs::MsgBox(const QString& text, Buttons buttons, Icon icon, const QString& title)
{
    QMessageBox box(MessageIconFor(icon), title, text, StandardButtonsFor(buttons), parentWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(buttons == Buttons::Ok || buttons == Buttons::OkCancel ? QMessageBox::Ok : QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return EscapeAnswerFor(buttons);
    }
}

std::optional<int> QtDialogs::ChooseOne(const QString& text, const QString& title, const QStringList& choices)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, parentWindow());
    box.setTextFormat(Qt::PlainText);
    std::vector<QAbstractButton*> buttons;
    for (const QString& choice : choices) {
        buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
    }
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    if (chosen == buttons.end()) {
        return std::nullopt;
    }
    return static_cast<int>(chosen - buttons.begin());
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(parentWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title.isEmpty() ? QStringLiteral("Kestrel") : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setMinimumWidth(360);
    if (dialog.exec() != QDialog::Accepted) {
        return QString();
    }
    return dialog.textValue();
}

std::optional<QColor> QtDialogs::ShowColor(const QColor& initial)
{
    QColorDialog dialog(initial.isValid() ? initial : QColor(Qt::white), parentWindow());
    dialog.setWindowTitle(QStringLiteral("Color"));
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid()) {
        return std::nullopt;
    }
    return dialog.selectedColor();
}

std::optional<FontChoice> QtDialogs::ShowFont(const FontChoice& initial)
{
    QFontDialog dialog(FontFromChoice(initial), parentWindow());
    dialog.setWindowTitle(QStringLiteral("Font"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ChoiceFromFont(dialog.selectedFont());
}

std::optional<QString> QtDialogs::ShowSave(const QString& fileName, const QString& filter, const QString& title)
{
    const QString path = QFileDialog::getSaveFileName(
        parentWindow(), title.isEmpty() ? QStringLiteral("Save As") : title, fileName, QtFileFilter(filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<PrintRange> QtDialogs::ShowPrinter(QPrinter& printer, int minPage, int maxPage, PrintRange initial)
{
    minPage = std::max(minPage, 1);
    maxPage = std::max(maxPage, minPage);
    QPrintDialog dialog(&printer, parentWindow());
    dialog.setWindowTitle(QStringLiteral("Print"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(minPage, maxPage);
    if (initial.fromPage > 0) {
        const int from = std::clamp(initial.fromPage, minPage, maxPage);
        const int to = std::clamp(initial.toPage > 0 ? initial.toPage : maxPage, from, maxPage);
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        dialog.setFromTo(from, to);
    } else {
        dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    if (dialog.printRange() == QAbstractPrintDialog::PageRange && dialog.fromPage() > 0) {
        return PrintRange{dialog.fromPage(), std::max(dialog.toPage(), dialog.fromPage())};
    }
    return PrintRange{};
}

} // namespace kestrel
