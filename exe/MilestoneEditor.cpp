// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MilestoneEditor.h"

#include "DeskCalendar.h"
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
    : QDialog(nullptr), m_program(program), m_day(day), m_dayNumber(DayNumber(day)), m_position(position)
{
    setObjectName(QString::fromLatin1(kMilestoneName));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(KestrelIcon());
    setWindowTitle(QString::fromLatin1(kMilestoneEditorTitle));
    setModal(false);
    buildWindow();

    Dialogs& dialogs = m_program.dialogs;
    ShowBusyPointer();
    m_program.windows.add(QString::fromLatin1(kMilestoneName), this);
    RunStep(dialogs, [this] {
        const double defaultLeft = (ScreenWidthTwips() - PixelsToTwips(width())) / 2;
        bool ok = false;
        double top =
            m_program.read(kFormsPositionSection, QStringLiteral("MilestoneTop"), QStringLiteral("0")).toDouble(&ok);
        top = ok && std::isfinite(top) ? top : 0;
        double left = m_program.read(kFormsPositionSection, QStringLiteral("MilestoneLeft"), NumberText(defaultLeft))
                          .toDouble(&ok);
        left = ok && std::isfinite(left) ? left : defaultLeft;
        MoveWindowTwips(*this, top, left);
    });
    RunStep(dialogs, [this] {
        m_dayLine->setText(QStringLiteral("Enter Milestone for ") +
                           QString::fromStdString(Format(m_day, "dd mmm, yyyy")));
    });
    RunStep(dialogs, [this] {
        if (m_position > 0) {
            m_openedText = m_program.milestones.at(m_position).text;
            m_text->setPlainText(AsShown(m_openedText));
            m_number->setText(QStringLiteral("Milestone number: ") + QString::number(m_position));
        } else {
            m_number->setText(QStringLiteral("Milestone number: New"));
            m_buttons[0]->setEnabled(false); // a milestone not yet made cannot be removed
        }
    });
    ShowArrowPointer();
}

MilestoneEditor::~MilestoneEditor()
{
    m_program.windows.remove(this);
}

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
        connect(button, &QPushButton::clicked, this, [this, index] { pressButton(index); });
        buttons->addWidget(button);
        m_buttons[index] = button;
    }
    layout->addLayout(buttons);
    // Opens with room for a few lines of text in a line width of the desktop's font.
    const QFontMetrics metrics = fontMetrics();
    resize(sizeHint().expandedTo(QSize(metrics.averageCharWidth() * 60, metrics.lineSpacing() * 16)));
}

QPushButton* MilestoneEditor::button(int index) const
{
    return index >= 0 && index < 3 ? m_buttons[index] : nullptr;
}

void MilestoneEditor::storePlace()
{
    if (WindowStateCode(*this) != 0) {
        return;
    }
    const SettingsAction action(m_program);
    m_program.write(kFormsPositionSection, QStringLiteral("MilestoneTop"), NumberText(WindowTopTwips(*this)));
    m_program.write(kFormsPositionSection, QStringLiteral("MilestoneLeft"), NumberText(WindowLeftTwips(*this)));
}

void MilestoneEditor::pressButton(int index)
{
    storePlace();
    switch (index) {
    case 0:
        remove();
        break;
    case 1:
        apply();
        break;
    case 2:
        cancel();
        break;
    default:
        break;
    }
}

int MilestoneEditor::currentPosition() const
{
    const MilestoneTable& table = m_program.milestones;
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
    m_program.milestones.MarkMilestoneForRemoval(currentPosition());
    m_textPages->setCurrentWidget(m_removeNote);
}

void MilestoneEditor::apply()
{
    MilestoneTable& table = m_program.milestones;
    int position = currentPosition();
    if (m_removeAsked) {
        if (position == 0) {
            unload(); // the milestone is gone already: nothing to remove, nothing to add
            return;
        }
        table.MarkMilestoneForRemoval(position);
    }
    // A text left as it was keeps its own line breaks, so a file from elsewhere is not rewritten.
    const QString shown = m_text->toPlainText();
    std::string text = shown == AsShown(m_openedText) ? m_openedText : shown.toStdString();
    // Characters as a user counts them: an accented letter or an emoji is one.
    if (static_cast<std::size_t>(QString::fromStdString(text).toUcs4().size()) > kMaxMilestoneTextCharacters) {
        m_program.dialogs.MsgBox(QStringLiteral("The milestone text is too long: at most %1 characters are kept.")
                                     .arg(kMaxMilestoneTextCharacters));
        return;
    }
    position = table.PutMilestone(position, m_day, std::move(text));
    m_position = position;

    const std::filesystem::path path = MilestoneFilePath(m_program);
    // The data folder is the program's own: make it on the first save. Any other folder is the
    // user's choice and must exist.
    if (path.parent_path() == m_program.dataDirectory) {
        std::error_code ignored;
        std::filesystem::create_directories(m_program.dataDirectory, ignored);
    }
    if (const std::optional<RuntimeError> error = table.SaveMilestones(path)) {
        // Nothing is lost: the table keeps the change and the editor stays open, so the user can
        // try again (for example after choosing another milestone file) or cancel.
        m_program.dialogs.MsgBox(QString::fromStdString(error->report()), Dialogs::Buttons::Ok,
                                 Dialogs::Icon::Critical);
        m_position = currentPosition();
        return;
    }
    RunStep(m_program.dialogs, [&] {
        if (auto error = table.LoadMilestones(path)) {
            throw *error;
        }
    });
    if (auto* calendar = qobject_cast<DeskCalendar*>(m_program.windows.find(QString::fromLatin1(kDeskCalName)))) {
        const YearMonth shown = calendar->shownMonth();
        calendar->FillMonth(QString::number(shown.year), QString::number(shown.month));
    }
    unload();
}

void MilestoneEditor::cancel()
{
    m_program.milestones.UnmarkMilestone(currentPosition());
    unload();
}

void MilestoneEditor::unload()
{
    m_unloading = true;
    m_program.windows.remove(this);
    close();
}

void MilestoneEditor::closeEvent(QCloseEvent* event)
{
    if (!m_unloading) {
        // The close box acts as Cancel, without storing the place.
        m_program.milestones.UnmarkMilestone(currentPosition());
        m_program.windows.remove(this);
    }
    // Not QDialog's own close, which would reject() and so run Cancel a second time.
    QWidget::closeEvent(event);
}

void MilestoneEditor::reject()
{
    // Escape acts as Cancel.
    pressButton(2);
}

} // namespace kestrel
