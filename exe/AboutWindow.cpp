// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutWindow.h"

#include "Program.h"
#include "ToolbarIcons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kestrel {

AboutWindow::AboutWindow(Program& program)
    : QDialog(program.windows.find(QString::fromLatin1(kToolBarName))), m_program(program),
      m_life(program, *this, kAboutName)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Kestrel"));
    setModal(true);
    m_life.load();

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(KestrelIcon().pixmap(96, 96));
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* name = new QLabel(QStringLiteral("Kestrel"), this);
    name->setObjectName(QStringLiteral("lblProduct"));
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 2);
    nameFont.setBold(true);
    name->setFont(nameFont);

    auto* version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(KESTREL_VERSION)), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* what = new QLabel(QStringLiteral("Counts down to the midnight that starts your target day, in calendar days "
                                           "or work days, with a desk calendar, milestones, a project report and a "
                                           "date calculator."),
                            this);
    what->setWordWrap(true);

    const QString address = QString::fromLatin1(kMakerAddress);
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(address), this);
    link->setObjectName(QStringLiteral("lblAddress"));
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setOpenExternalLinks(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(what);
    text->addSpacing(8);
    text->addWidget(link);
    text->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(logo);
    row->addSpacing(12);
    row->addLayout(text, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    // The description wraps in a column of the desktop's font and always has the height its lines
    // need at the narrowest: a window does not grow taller by itself for wrapped text.
    const int textWidth = what->fontMetrics().averageCharWidth() * 48;
    what->setMinimumSize(textWidth, what->heightForWidth(textWidth));
}

AboutWindow::~AboutWindow() = default;

} // namespace kestrel
