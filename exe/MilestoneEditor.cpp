// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MilestoneEditor.h"

#include "Program.h"
#include "Milestones.h"
#include "Steps.h"
#include "ToolbarIcons.h"
#include "Units.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>

namespace kestrel {

namespace {

// The text as the box shows it: line breaks as single line feeds.
QString AsShown(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

MilestoneEditor::MilestoneEditor(Program& program, DateValue day, int position)
    : QDialog(nullptr), m_program(program), m_day(day), m_dayNumber(DayNumber(day)), m_position(position),
      m_life(program, *this, kMilestoneName)
{
    setObjectName(QString::fromLatin1(kMilestoneName));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(KestrelIcon());
    setWindowTitle(QString::fromLatin1(kMilestoneEditorTitle));
    setModal(false);
    buildWindow();

    Dialogs& dialogs = m_program.dialogs;
    ShowBusyPointer();
    m_life.load();
    RunStep(dialogs, [this] { m_life.restorePlace(0, (ScreenWidthTwips() - PixelsToTwips(width())) / 2); });
    RunStep(dialogs, [this] {
        m_dayLine->setText(QStringLiteral("Enter Milestone for ") +
                           QString::fromStdString(Format(m_day, "dd mmm, yyyy")));
    });
    RunStep(dialogs, [this] {
        if (m_position > 0) {
            m_openedText = m_program.milestones.table().at(m_position).text;
            m_fileText = m_openedText;
            m_text->setPlainText(AsShown(m_openedText));
            m_number->setText(QStringLiteral("Milestone number: ") + QString::number(m_position));
        } else {
            m_number->setText(QStringLiteral("Milestone number: New"));
            button(Button::Remove)->setEnabled(false); // a milestone not yet made cannot be removed
        }
    });
    // Clear All in this program empties the day on purpose: Apply then writes the day again.
    connect(&m_program.milestones, &MilestoneStore::cleared, this, [this] { m_fileText.clear(); });
    ShowArrowPointer();
}

MilestoneEditor::~MilestoneEditor() = default;

void MilestoneEditor::buildWindow()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);

    m_dayLine = new QLabel(this);
    m_dayLine->setObjectName(QStringLiteral("Label1"));
    QFont bold = m_dayLine->font();
    bold.setBold(true);
    m_dayLine->setFont(bold);
    layout->addWidget(m_dayLine);

    m_textPages = new QStackedWidget(this);
    m_text = new QPlainTextEdit(m_textPages);
    m_text->setObjectName(QStringLiteral("TxtMilestone"));
    m_text->setTabChangesFocus(true);
    m_text->setAccessibleName(QStringLiteral("Milestone text"));
    const int lineHeight = m_text->fontMetrics().lineSpacing();
    m_text->setMinimumHeight(lineHeight * 5 + 12);
    m_removeNote = new QLabel(QStringLiteral("Click Apply to Remove Milestone"), m_textPages);
    m_removeNote->setObjectName(QStringLiteral("Label2"));
    m_removeNote->setAlignment(Qt::AlignCenter);
    m_removeNote->setFrameShape(QFrame::StyledPanel);
    m_textPages->addWidget(m_text);
    m_textPages->addWidget(m_removeNote);
    m_dayLine->setBuddy(m_text);
    m_text->setFocus();
    layout->addWidget(m_textPages, 1);

    m_number = new QLabel(this);
    m_number->setObjectName(QStringLiteral("lblMilestoneNumber"));
    layout->addWidget(m_number);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    static constexpr const char* kCaptions[3] = {"&Remove", "&Apply", "&Cancel"};
    for (int index = 0; index < 3; ++index) {
        auto* button = new QPushButton(QString::fromLatin1(kCaptions[index]), this);
        button->setObjectName(QStringLiteral("Command1"));
        button->setProperty("Index", index);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, index] { pressButton(static_cast<Button>(index)); });
        buttons->addWidget(button);
        m_buttons[index] = button;
    }
    layout->addLayout(buttons);
    // Opens with room for a few lines of text in a line width of the desktop's font.
    const QFontMetrics metrics = fontMetrics();
    resize(sizeHint().expandedTo(QSize(metrics.averageCharWidth() * 60, metrics.lineSpacing() * 16)));
}

void MilestoneEditor::pressButton(Button which)
{
    m_life.storePlace();
    switch (which) {
    case Button::Remove:
        remove();
        break;
    case Button::Apply:
        apply();
        break;
    case Button::Cancel:
        cancel();
        break;
    }
}

int MilestoneEditor::currentPosition() const
{
    const MilestoneTable& table = m_program.milestones.table();
    // The table may have been reloaded or cleared since the editor opened: the position it was
    // opened for counts only while it still holds this day's milestone.
    if (m_position > 0 && m_position <= table.count() &&
        KeyValue(table.at(m_position).key) == static_cast<double>(m_dayNumber)) {
        return m_position;
    }
    return table.FindMilestoneOnDay(m_dayNumber).value_or(0);
}

void MilestoneEditor::remove()
{
    m_removeAsked = true;
    m_program.milestones.table().MarkMilestoneForRemoval(currentPosition());
    m_textPages->setCurrentWidget(m_removeNote);
}

MilestoneEditor::Settled MilestoneEditor::settleWithTheFile(std::string text)
{
    // Another program (a sync client, a text editor) may have changed the file since it was read:
    // the user's one change goes onto the file as it is now, never onto the table read before.
    const MilestoneTable& table = m_program.milestones.current();
    const std::optional<int> onDisk = table.FindMilestoneOnDay(m_dayNumber);
    const std::string fileText = onDisk ? table.at(*onDisk).text : std::string();
    const std::string mine = m_removeAsked ? std::string() : text;
    if (fileText == m_fileText || fileText == mine) {
        return {Settled::Save, std::move(text)}; // the other side left this day alone, or did the same
    }
    if (mine == m_fileText) {
        return {Settled::KeepFile, {}}; // only the other side changed this day: its change stays
    }
    QStringList choices{QStringLiteral("Keep &mine"),
                        fileText.empty() ? QStringLiteral("Leave it &removed") : QStringLiteral("Keep the &file's")};
    if (!m_removeAsked && !fileText.empty()) {
        choices << QStringLiteral("Keep &both");
    }
    const QString question =
        QStringLiteral("The milestone of %1 was changed in the milestone file while you edited it.\n\n"
                       "In the file: %2\nYours: %3")
            .arg(QString::fromStdString(Format(m_day, "mmmm d, yyyy")),
                 fileText.empty() ? QStringLiteral("(removed)") : QString::fromStdString(fileText),
                 m_removeAsked ? QStringLiteral("(removed)") : QString::fromStdString(text));
    const std::optional<int> choice =
        m_program.dialogs.ChooseOne(question, QString::fromLatin1(kMilestoneEditorTitle), choices);
    if (!choice) {
        return {Settled::Cancelled, {}};
    }
    if (*choice == 1) {
        return {Settled::KeepFile, {}};
    }
    return {Settled::Save, *choice == 2 ? text + "\n" + fileText : std::move(text)};
}

void MilestoneEditor::apply()
{
    // A text left as it was keeps its own line breaks, so a file from elsewhere is not rewritten.
    const QString typed = m_text->toPlainText();
    std::string text = typed == AsShown(m_openedText) ? m_openedText : typed.toStdString();
    Settled settled = settleWithTheFile(std::move(text));
    if (settled.outcome == Settled::Cancelled) {
        return; // the editor stays open with the typed text
    }
    if (settled.outcome == Settled::KeepFile) {
        unload(); // the file's text for this day stays as the other program left it
        return;
    }
    text = std::move(settled.text);
    MilestoneTable& table = m_program.milestones.table();
    int position = currentPosition();
    if (m_removeAsked) {
        if (position == 0) {
            unload(); // the milestone is gone already: nothing to remove, nothing to add
            return;
        }
        table.MarkMilestoneForRemoval(position);
    }
    // Characters as a user counts them: an accented letter or an emoji is one.
    if (static_cast<std::size_t>(QString::fromStdString(text).toUcs4().size()) > kMaxMilestoneTextCharacters) {
        m_program.dialogs.MsgBox(QStringLiteral("The milestone text is too long: at most %1 characters are kept.")
                                     .arg(kMaxMilestoneTextCharacters));
        return;
    }
    position = table.PutMilestone(position, m_day, std::move(text));
    m_position = position;

    if (const std::optional<RuntimeError> error = m_program.milestones.save()) {
        // Nothing is lost: the table keeps the change and the editor stays open, so the user can
        // try again (for example after choosing another milestone file) or cancel.
        m_program.dialogs.MsgBox(QString::fromStdString(error->report()), Dialogs::Buttons::Ok,
                                 Dialogs::Icon::Critical);
        m_position = currentPosition();
        return;
    }
    unload();
}

void MilestoneEditor::cancel()
{
    m_program.milestones.table().UnmarkMilestone(currentPosition());
    unload();
}

void MilestoneEditor::unload()
{
    m_life.unload();
    close();
}

void MilestoneEditor::closeEvent(QCloseEvent* event)
{
    if (m_life.loaded()) {
        // The close box acts as Cancel, without storing the place.
        m_program.milestones.table().UnmarkMilestone(currentPosition());
        m_life.unload();
    }
    // Not QDialog's own close, which would reject() and so run Cancel a second time.
    QWidget::closeEvent(event);
}

void MilestoneEditor::reject()
{
    // Escape acts as Cancel.
    pressButton(Button::Cancel);
}

} // namespace kestrel
