// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ElasticPanel.h"

#include "Units.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

// The dynamic property that keeps a widget's design font (the one the user chose) while the
// widget shows it scaled.
constexpr char kDesignFontProperty[] = "kestrelDesignFont";

QFont ScaledFont(const QFont& design, double scale)
{
    // Fully resolved, so the child shows its own design font rather than inheriting parts of its
    // panel's (scaled) font.
    QFont font = design;
    font.setResolveMask(QFont::AllPropertiesResolved);
    if (design.pointSizeF() > 0.0) {
        font.setPointSizeF(std::max(1.0, design.pointSizeF() * scale));
    } else if (design.pixelSize() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(design.pixelSize() * scale))));
    }
    return font;
}

int Scaled(double twips, double pixelsPerTwip)
{
    return static_cast<int>(std::lround(twips * pixelsPerTwip));
}

// A panel with a caption is an information line: a screen reader reads it as a label with the
// caption as its words. A panel without one only holds other controls, a plain frame.
class ElasticPanelAccessible : public QAccessibleWidget
{
public:
    explicit ElasticPanelAccessible(ElasticPanel* panel) : QAccessibleWidget(panel, QAccessible::Border) {}

    QAccessible::Role role() const override
    {
        return panel()->caption().isEmpty() ? QAccessible::Border : QAccessible::StaticText;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && panel()->accessibleName().isEmpty()) {
            return panel()->caption();
        }
        return QAccessibleWidget::text(kind);
    }

private:
    ElasticPanel* panel() const { return static_cast<ElasticPanel*>(widget()); }
};

QAccessibleInterface* ElasticPanelAccessibleFactory(const QString& /*className*/, QObject* object)
{
    if (auto* panel = qobject_cast<ElasticPanel*>(object)) {
        return new ElasticPanelAccessible(panel);
    }
    return nullptr;
}

} // namespace

ElasticPanel::ElasticPanel(QWidget* parent) : QFrame(parent)
{
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(&ElasticPanelAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessibleFactoryInstalled);
    setMouseTracking(true);
    setAutoFillBackground(true);
}

void ElasticPanel::setDesignSize(double widthTwips, double heightTwips)
{
    m_designSize = QSizeF(std::max(widthTwips, 1.0), std::max(heightTwips, 1.0));
    m_designSizeSet = true;
    updateGeometry();
    layoutChildren();
    update();
}

void ElasticPanel::place(QWidget* child, double left, double top, double width, double height)
{
    if (child == nullptr || child == this) {
        return;
    }
    if (child->parentWidget() != this) {
        const bool hiddenOnPurpose = child->isHidden() && child->testAttribute(Qt::WA_WState_ExplicitShowHide);
        child->setParent(this);
        if (!hiddenOnPurpose && isVisible()) {
            child->show();
        }
    }
    if (!child->property(kDesignFontProperty).isValid()) {
        child->setProperty(kDesignFontProperty, child->font());
    }
    // A nested panel without a design size of its own takes the size it is placed at, so its
    // caption and children show at design size when the whole window does.
    if (auto* nested = qobject_cast<ElasticPanel*>(child); nested != nullptr && !nested->m_designSizeSet) {
        nested->m_designSize = QSizeF(std::max(width, 1.0), std::max(height, 1.0));
    }
    const QRectF design(left, top, width, height);
    const auto placed = std::find_if(m_children.begin(), m_children.end(),
                                     [child](const Placed& entry) { return entry.widget == child; });
    if (placed != m_children.end()) {
        placed->design = design;
    } else {
        m_children.push_back({child, design});
    }
    layoutChildren();
}

void ElasticPanel::setCaption(const QString& caption)
{
    if (caption != m_caption) {
        m_caption = caption;
        // Screen readers (and the end-to-end tests) read the caption as the panel's name.
        setAccessibleName(caption);
        update();
    }
}

QColor ElasticPanel::backColor() const
{
    return palette().color(QPalette::Window);
}

void ElasticPanel::setBackColor(const QColor& colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour);
    setPalette(colours);
}

QColor ElasticPanel::foreColor() const
{
    return palette().color(QPalette::WindowText);
}

void ElasticPanel::setForeColor(const QColor& colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colour);
    setPalette(colours);
}

QFont ElasticPanel::designFont(const QWidget* widget)
{
    const QVariant stored = widget->property(kDesignFontProperty);
    return stored.isValid() ? stored.value<QFont>() : widget->font();
}

void ElasticPanel::setDesignFont(QWidget* widget, const QFont& font)
{
    widget->setProperty(kDesignFontProperty, font);
    if (const auto* panel = qobject_cast<const ElasticPanel*>(widget->parentWidget())) {
        panel->applyScaledFont(widget);
    }
    widget->update(); // a panel's caption uses its own design font
}

double ElasticPanel::scale() const
{
    const double designWidth = TwipsToPixels(m_designSize.width());
    const double designHeight = TwipsToPixels(m_designSize.height());
    if (designWidth <= 0.0 || designHeight <= 0.0) {
        return 1.0;
    }
    return std::min(width() / designWidth, height() / designHeight);
}

QSize ElasticPanel::sizeHint() const
{
    return QSize(TwipsToPixels(m_designSize.width()), TwipsToPixels(m_designSize.height()));
}

QSize ElasticPanel::minimumSizeHint() const
{
    // The panel scales down with its window, so a layout may shrink it to nothing.
    return QSize(0, 0);
}

void ElasticPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    layoutChildren();
}

void ElasticPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event); // the frame; autoFillBackground has painted the back colour
    if (m_caption.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setPen(foreColor());
    painter.setFont(ScaledFont(designFont(), scale()));
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextWordWrap, m_caption);
}

void ElasticPanel::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved();
    QFrame::mouseMoveEvent(event);
}

void ElasticPanel::layoutChildren()
{
    std::erase_if(m_children, [this](const Placed& entry) {
        return entry.widget.isNull() || entry.widget->parentWidget() != this;
    });
    const double pixelsPerTwipX = width() / m_designSize.width();
    const double pixelsPerTwipY = height() / m_designSize.height();
    for (const Placed& entry : m_children) {
        // Edges are scaled and rounded, not sizes, so children that meet at design size still
        // meet at every size.
        const int left = Scaled(entry.design.left(), pixelsPerTwipX);
        const int top = Scaled(entry.design.top(), pixelsPerTwipY);
        const int right = Scaled(entry.design.right(), pixelsPerTwipX);
        const int bottom = Scaled(entry.design.bottom(), pixelsPerTwipY);
        entry.widget->setGeometry(left, top, right - left, bottom - top);
        applyScaledFont(entry.widget);
        if (auto* nested = qobject_cast<ElasticPanel*>(entry.widget.data())) {
            // A hidden panel gets its resize event only when shown; lay it out now so its
            // children are in place at once.
            nested->layoutChildren();
        }
    }
}

void ElasticPanel::applyScaledFont(QWidget* widget) const
{
    const QFont scaled = ScaledFont(designFont(widget), scale());
    if (widget->font() != scaled) {
        widget->setFont(scaled);
    }
}

} // namespace kestrel
