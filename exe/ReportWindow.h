// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "ReportPainter.h"
#include "WindowRegistry.h"

#include <QDialog>

#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace kestrel {

class MonthView;
class ReportDocument;
class ReportPreview;
struct Program;

// The project report window: the report from a chosen month to the target, previewed page by
// page, printed through the printer dialog or saved as a PDF file, and the project title. The
// toolbar shows it modally with the countdown stopped.
class ReportWindow : public QDialog
{
    Q_OBJECT
public:
    // Runs the load steps: the open flag, the milestone file, the present month's report and the
    // stored place.
    explicit ReportWindow(Program& program);
    ~ReportWindow() override;

    QLineEdit* fromDateBox() const { return m_fromDate; }
    QPushButton* calendarButton() const { return m_calendarButton; }
    MonthView* monthView() const { return m_calendar; }
    ReportPreview* preview() const { return m_preview; }
    QAction* printItem() const { return m_print; }
    QAction* pdfItem() const { return m_pdf; }
    QAction* projectTitleItem() const { return m_projectTitle; }
    QAction* exitItem() const { return m_exit; }
    // The paging controls, in the order of their "Index": "&First", next, previous, "&Last".
    enum class PageTurn
    {
        First,
        Next,
        Previous,
        Last,
    };
    QWidget* pagingControl(PageTurn turn) const;

    // The composed report, one page per month; the preview shows one of its pages.
    const ReportDocument& document() const { return *m_document; }

    // Turns the preview's page; the page line follows.
    void turnPage(PageTurn turn);
    // Shows the month calendar on the present date.
    void showCalendar();
    // A date picked in the month calendar: the "From" box shows it and the report is composed from
    // the 1st of its month.
    void chooseFromDate(DateValue date);
    void print();
    void saveAsPdf();
    void changeProjectTitle();
    // "&Exit": stores the place when the window is normal, then unloads.
    void exit();

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void compose();
    void showPageLabel();
    void unload();
    // A progress window for long prints and exports; the returned function advances it and
    // tells whether to go on.
    PrintProgress progressFor(const QString& text, int pages);

    Program& m_program;
    QLineEdit* m_fromDate = nullptr;
    QPushButton* m_calendarButton = nullptr;
    MonthView* m_calendar = nullptr;
    QScrollArea* m_scroll = nullptr;
    ReportPreview* m_preview = nullptr;
    QLabel* m_pageLabel = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QPushButton* m_first = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_previous = nullptr;
    QPushButton* m_last = nullptr;
    QAction* m_print = nullptr;
    QAction* m_pdf = nullptr;
    QAction* m_projectTitle = nullptr;
    QAction* m_exit = nullptr;

    DateValue m_from;
    std::shared_ptr<ReportDocument> m_document;
    std::unique_ptr<QProgressDialog> m_progress;
    WindowLife m_life;
};

} // namespace kestrel
