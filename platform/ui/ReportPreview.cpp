// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportPreview.h"

#include "ReportPainter.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

constexpr std::array kZoomSteps = {0.25, 0.33, 0.5, 0.67, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
constexpr int kDeskMargin = 12; // pixels of grey around the page

} // namespace

ReportPreview::ReportPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vsPrinter1"));
    setToolTip(QStringLiteral("Double Left or Right Clicks to Zoom. "));
    setAccessibleName(QStringLiteral("Report preview"));
    setAutoFillBackground(false);
    updateSize();
}

void ReportPreview::setDocument(std::shared_ptr<const ReportDocument> document)
{
    m_document = std::move(document);
    m_page = 1;
    updateSize();
    update();
}

void ReportPreview::setPage(int number)
{
    const int last = std::max(pageCount(), 1);
    number = std::clamp(number, 1, last);
    if (number != m_page) {
        m_page = number;
        update();
    }
}

void ReportPreview::setZoom(double zoom)
{
    zoom = std::clamp(zoom, kZoomSteps.front(), kZoomSteps.back());
    if (zoom == m_zoom) {
        return;
    }
    m_zoom = zoom;
    updateSize();
    update();
    emit zoomChanged(m_zoom);
}

void ReportPreview::zoomIn()
{
    const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), m_zoom + 1e-6);
    setZoom(next == kZoomSteps.end() ? kZoomSteps.back() : *next);
}

void ReportPreview::zoomOut()
{
    const auto next = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), m_zoom - 1e-6);
    setZoom(next == kZoomSteps.begin() ? kZoomSteps.front() : *std::prev(next));
}

QSizeF ReportPreview::pagePixels() const
{
    const QSizeF paper = m_document ? m_document->geometry().paper : QSizeF(595, 842);
    return paper * (m_zoom * logicalDpiX() / 72.0);
}

void ReportPreview::updateSize()
{
    const QSizeF page = pagePixels();
    setMinimumSize(static_cast<int>(page.width()) + 2 * kDeskMargin, static_cast<int>(page.height()) + 2 * kDeskMargin);
    updateGeometry();
}

QSize ReportPreview::sizeHint() const
{
    return minimumSize();
}

void ReportPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QSizeF page = pagePixels();
    const QPointF origin(std::max((width() - page.width()) / 2.0, static_cast<double>(kDeskMargin)),
                         std::max((height() - page.height()) / 2.0, static_cast<double>(kDeskMargin)));
    const QRectF paper(origin, page);
    painter.fillRect(paper.translated(3, 3), QColor(0, 0, 0, 60));
    painter.fillRect(paper, Qt::white);
    if (!m_document || m_document->pageCount() == 0) {
        // The paper is white whatever the palette, so its text is a fixed dark grey (7:1).
        painter.setPen(QColor(0x59, 0x59, 0x59));
        painter.drawText(paper.adjusted(24, 24, -24, -24), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         m_emptyText);
        return;
    }
    painter.translate(origin);
    const double scale = m_zoom * logicalDpiX() / 72.0;
    painter.scale(scale, scale);
    PaintReportPage(painter, *m_document, m_page);
}

void ReportPreview::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        zoomIn();
    } else if (event->button() == Qt::RightButton) {
        zoomOut();
    }
    event->accept();
}

} // namespace kestrel
