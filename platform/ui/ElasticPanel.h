// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <vector>

namespace kestrel {

// A panel that keeps its children in proportion when it is resized, fonts included. Children are
// placed in twips against the panel's design size; on every resize each child's rectangle is
// scaled by the panel's width and height ratios and its design font by the smaller ratio. The
// panel can show a caption of its own (centred, word-wrapped) in its colours and font, and tells
// when the mouse moves over it.
class ElasticPanel : public QFrame
{
    Q_OBJECT
public:
    explicit ElasticPanel(QWidget* parent = nullptr);

    // The size in twips that the design positions of the children refer to. A panel placed in
    // another panel without one takes the size it is placed at.
    void setDesignSize(double widthTwips, double heightTwips);
    // Places a child (made a child of this panel) at a design rectangle in twips. Its design font
    // is the one given to setDesignFont, or else its font at the time it is first placed; change
    // it later through setDesignFont, since the panel sets the child's font itself.
    void place(QWidget* child, double left, double top, double width, double height);

    // The panel's own text, drawn centred over its background.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // The background (the palette's Window role) and the caption's colour (WindowText).
    QColor backColor() const;
    void setBackColor(const QColor& colour);
    QColor foreColor() const;
    void setForeColor(const QColor& colour);
    // The caption's font at design size.
    QFont designFont() const { return designFont(this); }
    void setDesignFont(const QFont& font) { setDesignFont(this, font); }

    // The design font of any widget inside a panel (what the user chose, before scaling), and
    // setting it: the widget then shows it scaled to its panel's present size.
    static QFont designFont(const QWidget* widget);
    static void setDesignFont(QWidget* widget, const QFont& font);

    // The ratio of the present size to the design size (the smaller of width and height).
    double scale() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void mouseMoved();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void layoutChildren();
    void applyScaledFont(QWidget* widget) const;

    struct Placed
    {
        QPointer<QWidget> widget;
        QRectF design; // twips
    };
    std::vector<Placed> m_children;
    QSizeF m_designSize{1440, 1440};
    bool m_designSizeSet = false;
    QString m_caption;
};

} // namespace kestrel
