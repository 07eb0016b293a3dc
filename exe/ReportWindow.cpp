// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportWindow.h"

#include "MonthView.h"
#include "Program.h"
#include "ReportComposer.h"
#include "ReportDocument.h"
#include "ReportPdf.h"
#include "ReportPreview.h"
#include "Steps.h"
#include "Units.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrel {

namespace {

constexpr const char* kFromPattern = "mmm d, yyyy";
constexpr const char* kNoPagesMessage =
    "The report has no pages: its first month begins after the target date. Choose an earlier From date.";

QAction* NewItem(QMenuBar* menu, const char* caption, const char* name, const QKeySequence& shortcut)
{
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    return item;
}

} // namespace

ReportWindow::ReportWindow(Program& program)
    : QDialog(program.windows.find(QString::fromLatin1(kToolBarName))), m_program(program),
      m_document(std::make_shared<ReportDocument>(PreviewGeometry(QLocale()))), m_life(program, *this, kReportName)
{
    setObjectName(QString::fromLatin1(kReportName));
    setWindowTitle(QStringLiteral("Kestrel Report"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* menu = new QMenuBar(this);
    m_print = NewItem(menu, "&Print", "mnuPrint", QKeySequence::Print);
    m_pdf = NewItem(menu, "Save as &PDF...", "mnuSavePdf", QKeySequence::Save);
    m_projectTitle = NewItem(menu, "&Project Title", "mnuProjectTitle", QKeySequence(Qt::CTRL | Qt::Key_T));
    m_exit = NewItem(menu, "&Exit", "mnuExit", QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(m_print, &QAction::triggered, this, &ReportWindow::print);
    connect(m_pdf, &QAction::triggered, this, &ReportWindow::saveAsPdf);
    connect(m_projectTitle, &QAction::triggered, this, &ReportWindow::changeProjectTitle);
    connect(m_exit, &QAction::triggered, this, &ReportWindow::exit);

    auto* fromLabel = new QLabel(QStringLiteral("&From:"), this);
    fromLabel->setObjectName(QStringLiteral("lblFrom"));
    m_fromDate = new QLineEdit(QStringLiteral("Click a Date"), this);
    m_fromDate->setObjectName(QStringLiteral("txtFromDate"));
    m_fromDate->setToolTip(QStringLiteral("Determine when to start report from."));
    m_fromDate->setAccessibleName(QStringLiteral("From"));
    m_fromDate->setMinimumWidth(m_fromDate->fontMetrics().horizontalAdvance(QStringLiteral("Sep 30, 2000")) + 24);
    m_fromDate->installEventFilter(this);
    fromLabel->setBuddy(m_fromDate);
    m_calendarButton = new QPushButton(QStringLiteral("&Cal..."), this);
    m_calendarButton->setObjectName(QStringLiteral("Command3"));
    m_calendarButton->setAutoDefault(false);
    connect(m_calendarButton, &QPushButton::clicked, this, &ReportWindow::showCalendar);

    m_calendar = new MonthView(this);
    m_calendar->setObjectName(QStringLiteral("MonthView1"));
    m_calendar->setWindowFlags(Qt::Popup);
    m_calendar->hide();
    connect(m_calendar, &MonthView::dateClicked, this, [this](DateValue date) {
        m_calendar->hide();
        chooseFromDate(date);
    });

    m_first = new QPushButton(QStringLiteral("&First"), this);
    m_first->setObjectName(QStringLiteral("PreviewPage"));
    m_first->setProperty("Index", 0);
    m_previous = new QToolButton(this);
    m_previous->setObjectName(QStringLiteral("Image1"));
    m_previous->setProperty("Index", 2);
    m_previous->setArrowType(Qt::LeftArrow);
    m_previous->setToolTip(QStringLiteral("Previous page"));
    m_previous->setAccessibleName(QStringLiteral("Previous page"));
    m_previous->setShortcut(QKeySequence(Qt::Key_PageUp));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblpages"));
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setMinimumWidth(m_pageLabel->fontMetrics().horizontalAdvance(QStringLiteral("Page 1077 of 1077")) +
                                 12);
    m_next = new QToolButton(this);
    m_next->setObjectName(QStringLiteral("Image1"));
    m_next->setProperty("Index", 1);
    m_next->setArrowType(Qt::RightArrow);
    m_next->setToolTip(QStringLiteral("Next page"));
    m_next->setAccessibleName(QStringLiteral("Next page"));
    m_next->setShortcut(QKeySequence(Qt::Key_PageDown));
    m_last = new QPushButton(QStringLiteral("&Last"), this);
    m_last->setObjectName(QStringLiteral("PreviewPage"));
    m_last->setProperty("Index", 3);
    for (QPushButton* button : {m_first, m_last}) {
        button->setAutoDefault(false);
    }
    connect(m_first, &QPushButton::clicked, this, [this] { turnPage(PageTurn::First); });
    connect(m_next, &QToolButton::clicked, this, [this] { turnPage(PageTurn::Next); });
    connect(m_previous, &QToolButton::clicked, this, [this] { turnPage(PageTurn::Previous); });
    connect(m_last, &QPushButton::clicked, this, [this] { turnPage(PageTurn::Last); });
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(QStringLiteral("lblZoom"));
    m_zoomLabel->setToolTip(QStringLiteral("Double Left or Right Clicks to Zoom. "));

    m_preview = new ReportPreview;
    m_preview->setEmptyText(QString::fromLatin1(kNoPagesMessage));
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_preview);
    m_scroll->setAccessibleName(QStringLiteral("Report preview"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    const auto showZoom = [this](double zoom) { m_zoomLabel->setText(QStringLiteral("%1%").arg(qRound(zoom * 100))); };
    connect(m_preview, &ReportPreview::zoomChanged, this, showZoom);
    showZoom(m_preview->zoom());
    auto* zoomIn = new QShortcut(QKeySequence::ZoomIn, this);
    auto* zoomOut = new QShortcut(QKeySequence::ZoomOut, this);
    connect(zoomIn, &QShortcut::activated, m_preview, &ReportPreview::zoomIn);
    connect(zoomOut, &QShortcut::activated, m_preview, &ReportPreview::zoomOut);
    auto* home = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), this);
    auto* end = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_End), this);
    connect(home, &QShortcut::activated, this, [this] { turnPage(PageTurn::First); });
    connect(end, &QShortcut::activated, this, [this] { turnPage(PageTurn::Last); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(fromLabel);
    bar->addWidget(m_fromDate);
    bar->addWidget(m_calendarButton);
    bar->addStretch(1);
    bar->addWidget(m_first);
    bar->addWidget(m_previous);
    bar->addWidget(m_pageLabel);
    bar->addWidget(m_next);
    bar->addWidget(m_last);
    bar->addStretch(1);
    bar->addWidget(m_zoomLabel);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    // The page at its printed size where the screen allows.
    const QSize page = m_preview->sizeHint();
    QSize size(page.width() + 60, page.height() + 100);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableSize() * 0.9);
    }
    resize(size.expandedTo(QSize(560, 420)));

    load();
    m_preview->setFocus(Qt::OtherFocusReason);
}

ReportWindow::~ReportWindow() = default;

QWidget* ReportWindow::pagingControl(PageTurn turn) const
{
    switch (turn) {
    case PageTurn::First:
        return m_first;
    case PageTurn::Next:
        return m_next;
    case PageTurn::Previous:
        return m_previous;
    case PageTurn::Last:
        return m_last;
    }
    return nullptr;
}

void ReportWindow::load()
{
    ShowBusyPointer();
    Dialogs& dialogs = m_program.dialogs;
    RunStep(dialogs, [this] { m_life.load(); });
    RunStep(dialogs, [this] {
        if (auto error = m_program.milestones.load()) {
            throw *error;
        }
    });
    RunStep(dialogs, [this] { chooseFromDate(GetPresentDate(m_program.clock)); });
    RunStep(dialogs, [this] {
        const double defaultTop = (ScreenHeightTwips() - PixelsToTwips(height())) / 2;
        const double defaultLeft = (ScreenWidthTwips() - PixelsToTwips(width())) / 2;
        m_life.restorePlace(defaultTop, defaultLeft);
    });
    ShowArrowPointer();
}

void ReportWindow::chooseFromDate(DateValue date)
{
    m_from = DateValue{std::floor(date.serial)};
    m_fromDate->setText(QString::fromStdString(Format(m_from, kFromPattern)));
    compose();
}

void ReportWindow::compose()
{
    ShowBusyPointer();
    auto document = std::make_shared<ReportDocument>(m_document->geometry());
    document->setFontName(QStringLiteral("Arial"));
    document->setFontBold(false);
    document->setFontItalic(false);
    RunStep(m_program.dialogs, [&] {
        ReportComposer composer(*document, ReportInputsOf(m_program.ProgramSettings, m_program.milestones.table()));
        const DateParts from = SplitDate(m_from);
        composer.ComposeReport(from.year, from.month);
    });
    m_document = std::move(document);
    m_preview->setDocument(m_document);
    showPageLabel();
    ShowArrowPointer();
}

void ReportWindow::showPageLabel()
{
    const int page = m_preview->page();
    const int pages = m_preview->pageCount();
    m_pageLabel->setText(PageLabel(page, pages));
    m_first->setEnabled(page > 1);
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < pages);
    m_last->setEnabled(page < pages);
}

void ReportWindow::turnPage(PageTurn turn)
{
    const int page = m_preview->page();
    switch (turn) {
    case PageTurn::First:
        m_preview->setPage(1);
        break;
    case PageTurn::Next:
        m_preview->setPage(page + 1);
        break;
    case PageTurn::Previous:
        m_preview->setPage(page - 1);
        break;
    case PageTurn::Last:
        m_preview->setPage(m_preview->pageCount());
        break;
    }
    showPageLabel();
    m_scroll->ensureVisible(0, 0);
}

void ReportWindow::showCalendar()
{
    m_calendar->setValue(GetPresentDate(m_program.clock));
    m_calendar->adjustSize();
    m_calendar->move(m_fromDate->mapToGlobal(QPoint(0, m_fromDate->height())));
    m_calendar->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

bool ReportWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_fromDate) {
        if (event->type() == QEvent::MouseButtonPress) {
            showCalendar();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape) {
                return false;
            }
            // The date comes from the calendar only; Space, Enter or the down arrow open it.
            if (key->key() == Qt::Key_Space || key->key() == Qt::Key_Down || key->key() == Qt::Key_Return ||
                key->key() == Qt::Key_Enter) {
                showCalendar();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

PrintProgress ReportWindow::progressFor(const QString& text, int pages)
{
    m_progress = std::make_unique<QProgressDialog>(text, QStringLiteral("Cancel"), 0, pages, this);
    m_progress->setWindowTitle(QStringLiteral("Kestrel Report"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(400);
    m_progress->setAutoClose(true);
    return [this](int done, int) {
        m_progress->setValue(done);
        QCoreApplication::processEvents();
        return !m_progress->wasCanceled();
    };
}

void ReportWindow::print()
{
    if (m_preview->pageCount() <= 0) {
        m_program.dialogs.MsgBox(QString::fromLatin1(kNoPagesMessage));
        return;
    }
    ShowBusyPointer();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Kestrel Report"));
    printer.setCreator(QStringLiteral("Kestrel"));
    const std::optional<PrintRange> range =
        m_program.dialogs.ShowPrinter(printer, 1, m_preview->pageCount(), PrintRange{1, m_preview->pageCount()});
    ShowArrowPointer();
    if (!range) {
        return; // cancelled: nothing is printed
    }
    // Printing to a file never replaces one of the program's own files.
    if (const std::optional<QString> refused = OwnFileRefusalText(printer.outputFileName(), m_program.ownFiles())) {
        m_program.dialogs.MsgBox(*refused, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    const int from = range->fromPage > 0 ? range->fromPage : 1;
    const int to = range->fromPage > 0 ? range->toPage : m_preview->pageCount();

    // The pages are laid out again for the printer's paper, from the same start month, and only
    // the chosen ones are painted, first to last.
    ShowBusyPointer();
    ReportDocument printed(GeometryOf(printer.pageLayout()));
    bool composed = RunStep(m_program.dialogs, [&] {
        ReportComposer composer(printed, ReportInputsOf(m_program.ProgramSettings, m_program.milestones.table()));
        const DateParts start = SplitDate(m_from);
        composer.ComposeReport(start.year, start.month);
    });
    printer.setFullPage(true);
    ShowArrowPointer();
    if (!composed) {
        return;
    }
    const PrintOutcome outcome =
        PrintReport(printed, printer, from, to, progressFor(QStringLiteral("Printing the report..."), to - from + 1));
    m_progress.reset();
    if (outcome.result == PrintOutcome::Result::Failed) {
        m_program.dialogs.MsgBox(outcome.error, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
}

void ReportWindow::saveAsPdf()
{
    if (m_preview->pageCount() <= 0) {
        m_program.dialogs.MsgBox(QString::fromLatin1(kNoPagesMessage));
        return;
    }
    const QString offered = QDir::home().filePath(QStringLiteral("Kestrel Report.pdf"));
    std::optional<QString> path =
        m_program.dialogs.ShowSave(offered, QStringLiteral("PDF files (*.pdf)|*.pdf"), QStringLiteral("Save as PDF"));
    if (!path) {
        return;
    }
    if (!path->endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        *path += QStringLiteral(".pdf");
    }
    const PrintOutcome outcome =
        WriteReportPdf(*m_document, *path, m_program.ownFiles(),
                       progressFor(QStringLiteral("Saving the report as PDF..."), m_document->pageCount()));
    m_progress.reset();
    if (outcome.result == PrintOutcome::Result::Failed) {
        m_program.dialogs.MsgBox(outcome.error, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
}

void ReportWindow::changeProjectTitle()
{
    const QString current = QString::fromStdString(m_program.ProgramSettings.ProjectTitle);
    const QString title = m_program.dialogs.InputBox(QStringLiteral("Enter Project Title"),
                                                     QStringLiteral("Update Project Title"), current);
    if (title.isEmpty()) {
        m_program.dialogs.MsgBox(QStringLiteral("TO remove project title use the Options Form"));
        return;
    }
    m_program.set(setting::ProjectTitle, title.toStdString());
    // The preview shows the new title at once, as the next print will.
    const int page = m_preview->page();
    compose();
    m_preview->setPage(page);
    showPageLabel();
}

void ReportWindow::exit()
{
    m_life.storePlace();
    reject();
}

void ReportWindow::done(int result)
{
    unload();
    QDialog::done(result);
}

void ReportWindow::unload()
{
    m_life.unload();
}

} // namespace kestrel
