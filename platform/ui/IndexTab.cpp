// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "IndexTab.h"

#include <QBoxLayout>
#include <QEvent>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QStylePainter>

#include <functional>

namespace kestrel {

// The tab bar of an IndexTab. QTabBar always has a current tab, so while the strip has none it
// draws every tab unselected, and it reports an access key that picks the tab it keeps current
// underneath (QTabBar itself only reports changes).
class IndexTabBar final : public QTabBar
{
public:
    using QTabBar::QTabBar;

    void setNoCurrent(bool none)
    {
        if (m_noCurrent != none) {
            m_noCurrent = none;
            update();
        }
    }
    bool noCurrent() const { return m_noCurrent; }
    std::function<void(int)> onAccessKeyOnCurrent;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut || !m_noCurrent) {
            return QTabBar::event(event);
        }
        const int before = currentIndex();
        const bool handled = QTabBar::event(event);
        if (handled && currentIndex() == before && onAccessKeyOnCurrent) {
            onAccessKeyOnCurrent(before);
        }
        return handled;
    }

    void paintEvent(QPaintEvent* event) override
    {
        if (!m_noCurrent) {
            QTabBar::paintEvent(event);
            return;
        }
        QStylePainter painter(this);
        if (drawBase()) {
            painter.drawPrimitive(QStyle::PE_FrameTabBarBase, baseOption());
        }
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab option;
            initStyleOption(&option, i);
            option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
            option.selectedPosition = QStyleOptionTab::NotAdjacent;
            painter.drawControl(QStyle::CE_TabBarTab, option);
        }
    }

private:
    // The line under the tabs, as QTabBar draws it, with no tab selected.
    QStyleOptionTabBarBase baseOption() const
    {
        QStyleOptionTabBarBase option;
        option.initFrom(this);
        option.shape = shape();
        option.documentMode = documentMode();
        QStyleOptionTab tabShape;
        tabShape.shape = shape();
        const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, &tabShape, this);
        switch (shape()) {
        case RoundedNorth:
        case TriangularNorth:
            option.rect.setRect(0, height() - overlap, width(), overlap);
            break;
        case RoundedSouth:
        case TriangularSouth:
            option.rect.setRect(0, 0, width(), overlap);
            break;
        case RoundedWest:
        case TriangularWest:
            option.rect.setRect(width() - overlap, 0, overlap, height());
            break;
        case RoundedEast:
        case TriangularEast:
            option.rect.setRect(0, 0, overlap, height());
            break;
        }
        for (int i = 0; i < count(); ++i) {
            option.tabBarRect |= tabRect(i);
        }
        return option;
    }

    bool m_noCurrent = false;
};

IndexTab::IndexTab(QWidget* parent)
    : QWidget(parent), m_tabs(new IndexTabBar(this)), m_pages(new QStackedWidget(this)), m_blank(new QWidget),
      m_layout(new QBoxLayout(QBoxLayout::TopToBottom, this))
{
    m_tabs->setObjectName(QStringLiteral("tabBar"));
    m_tabs->setExpanding(false);
    m_tabs->setNoCurrent(true);
    m_pages->setFrameShape(QFrame::StyledPanel); // the pages sit in a pane under the tabs
    m_pages->addWidget(m_blank);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_tabs);
    m_layout->addWidget(m_pages, 1);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_settingByProgram && index >= 0) {
            pickedByUser(index);
        }
    });
    // A click on the tab the bar keeps current underneath changes nothing in QTabBar, but with no
    // current tab it is a pick. tabBarClicked comes before the bar changes its current tab.
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && m_current < 0 && index == m_tabs->currentIndex()) {
            pickedByUser(index);
        }
    });
    m_tabs->onAccessKeyOnCurrent = [this](int index) {
        if (m_current < 0) {
            pickedByUser(index);
        }
    };
}

void IndexTab::addPageKeys()
{
    const auto turnKey = [this](QKeyCombination key, int step) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, step] { turnPage(step); });
    };
    turnKey(Qt::CTRL | Qt::Key_Tab, 1);
    turnKey(Qt::CTRL | Qt::Key_PageDown, 1);
    turnKey(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1);
    turnKey(Qt::CTRL | Qt::Key_Backtab, -1);
    turnKey(Qt::CTRL | Qt::Key_PageUp, -1);
}

void IndexTab::turnPage(int step)
{
    const int n = count();
    if (n == 0 || m_pages->isHidden()) {
        return;
    }
    const int to = ((m_current < 0 ? 0 : m_current) + step + n) % n;
    if (to == m_tabs->currentIndex()) {
        if (m_current != to) {
            pickedByUser(to);
        }
    } else {
        m_tabs->setCurrentIndex(to);
    }
}

QTabBar* IndexTab::tabBar() const
{
    return m_tabs;
}

void IndexTab::setCaptions(const QString& captions)
{
    const QStringList texts = captions.isEmpty() ? QStringList() : captions.split(QLatin1Char('|'));
    const int previous = m_current;
    m_settingByProgram = true;
    while (m_tabs->count() > texts.size()) {
        const int last = m_tabs->count() - 1;
        m_tabs->removeTab(last);
        QWidget* surplus = m_pages->widget(last + 1);
        m_pages->removeWidget(surplus);
        delete surplus;
    }
    for (int i = 0; i < texts.size(); ++i) {
        if (i < m_tabs->count()) {
            m_tabs->setTabText(i, texts.at(i));
            continue;
        }
        m_tabs->addTab(texts.at(i));
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page%1").arg(i));
        auto* fill = new QVBoxLayout(page);
        fill->setContentsMargins(0, 0, 0, 0);
        m_pages->addWidget(page);
    }
    m_settingByProgram = false;
    setCurrentTab(previous >= 0 && previous < count() ? previous : 0);
}

QString IndexTab::captions() const
{
    QStringList texts;
    for (int i = 0; i < m_tabs->count(); ++i) {
        texts << m_tabs->tabText(i);
    }
    return texts.join(QLatin1Char('|'));
}

QString IndexTab::caption(int index) const
{
    return m_tabs->tabText(index); // empty out of range
}

void IndexTab::setCaption(int index, const QString& caption)
{
    m_tabs->setTabText(index, caption); // ignored out of range
}

int IndexTab::count() const
{
    return m_tabs->count();
}

int IndexTab::currentTab() const
{
    return m_current;
}

void IndexTab::setCurrentTab(int index)
{
    if (index < 0 || index >= count()) {
        index = -1;
    }
    m_settingByProgram = true;
    if (index >= 0) {
        m_tabs->setCurrentIndex(index);
    }
    m_settingByProgram = false;
    showCurrent(index);
}

QWidget* IndexTab::page(int index) const
{
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return m_pages->widget(index + 1);
}

void IndexTab::setPagesShown(bool shown)
{
    m_pages->setVisible(shown);
    updateSizePolicy();
}

void IndexTab::setShape(QTabBar::Shape shape)
{
    m_tabs->setShape(shape);
    switch (shape) {
    case QTabBar::RoundedNorth:
    case QTabBar::TriangularNorth:
        m_layout->setDirection(QBoxLayout::TopToBottom);
        break;
    case QTabBar::RoundedSouth:
    case QTabBar::TriangularSouth:
        m_layout->setDirection(QBoxLayout::BottomToTop);
        break;
    case QTabBar::RoundedWest:
    case QTabBar::TriangularWest:
        m_layout->setDirection(QBoxLayout::LeftToRight);
        break;
    case QTabBar::RoundedEast:
    case QTabBar::TriangularEast:
        m_layout->setDirection(QBoxLayout::RightToLeft);
        break;
    }
    updateSizePolicy();
}

void IndexTab::showCurrent(int index)
{
    m_current = index;
    m_tabs->setNoCurrent(index < 0);
    m_pages->setCurrentIndex(index + 1); // the blank page for none
}

void IndexTab::pickedByUser(int index)
{
    showCurrent(index);
    emit tabPicked(index);
}

void IndexTab::updateSizePolicy()
{
    // A bare strip keeps the tab bar's own depth; with pages it grows with its window.
    const bool vertical =
        m_layout->direction() == QBoxLayout::TopToBottom || m_layout->direction() == QBoxLayout::BottomToTop;
    const bool bare = m_pages->isHidden();
    setSizePolicy(!vertical && bare ? QSizePolicy::Fixed : QSizePolicy::Preferred,
                  vertical && bare ? QSizePolicy::Fixed : QSizePolicy::Preferred);
}

} // namespace kestrel
