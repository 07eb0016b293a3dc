// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ReportDocument.h"

#include <QWidget>

#include <memory>

namespace kestrel {

// The preview of a composed document: one page on a grey desk at a zoom. A double click with the
// left button zooms in, with the right button zooms out. The page does not depend on the
// widget's size, so resizing only repaints.
class ReportPreview : public QWidget
{
    Q_OBJECT
public:
    explicit ReportPreview(QWidget* parent = nullptr);

    void setDocument(std::shared_ptr<const ReportDocument> document);
    const ReportDocument* document() const { return m_document.get(); }

    // The page shown: 1 to the page count, 1 while there are no pages. A new document shows its
    // first page; a page asked for outside the document shows the nearest one.
    int page() const { return m_page; }
    void setPage(int number);
    // The pages of the document shown; 0 without one.
    int pageCount() const { return m_document ? m_document->pageCount() : 0; }

    // 1.0 shows the page at its printed size.
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();

    // What the empty page says when the document has no pages.
    void setEmptyText(const QString& text)
    {
        m_emptyText = text;
        update();
    }

    QSize sizeHint() const override;

signals:
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The page's size on the screen at the current zoom, in pixels.
    QSizeF pagePixels() const;
    void updateSize();

    std::shared_ptr<const ReportDocument> m_document;
    int m_page = 1;
    double m_zoom = 1.0;
    QString m_emptyText;
};

} // namespace kestrel
