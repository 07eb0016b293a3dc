// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTabBar>
#include <QWidget>

class QBoxLayout;
class QStackedWidget;

namespace kestrel {

class IndexTabBar;

// A strip of tabs over a stack of pages. Captions are given as one text with "|" between them
// and may hold "&" before an access key; each caption has its page, a plain widget to fill.
// The current tab can be read and set; -1 means no current tab: no page shows and every tab is
// drawn unselected (the tab bar itself always keeps one of its tabs current underneath).
//
// Each page has a QVBoxLayout without margins, so a caller fills a page with one widget by
// page(i)->layout()->addWidget(widget).
class IndexTab : public QWidget
{
    Q_OBJECT
public:
    explicit IndexTab(QWidget* parent = nullptr);

    // Sets the tabs from "first|second|third". Pages of tabs that stay are kept with what they
    // hold; surplus tabs lose their pages. The current tab stays when it still exists, otherwise
    // the first tab becomes current (-1 when there are no tabs).
    void setCaptions(const QString& captions);
    // All captions joined by "|", access-key "&" included.
    QString captions() const;
    // One caption; empty for an index out of range.
    QString caption(int index) const;
    void setCaption(int index, const QString& caption);
    int count() const;

    // The current tab; -1 for none.
    int currentTab() const;
    // Makes a tab current and shows its page, without tabPicked; -1 or any index out of range
    // leaves no current tab.
    void setCurrentTab(int index);

    // The page of a tab; null for an index out of range.
    QWidget* page(int index) const;
    // Whether the strip shows pages below the tabs (true) or is a bare strip of tabs.
    void setPagesShown(bool shown);
    // The tabs' shape; the pages sit on the side away from the tabs.
    void setShape(QTabBar::Shape shape);
    QTabBar* tabBar() const;
    // Ctrl+Tab and Ctrl+Page Down turn to the next page, Ctrl+Shift+Tab and Ctrl+Page Up to the one
    // before, from anywhere in the window, as in a tabbed dialog: for a window's one main strip.
    void addPageKeys();

signals:
    // The user picked a tab (by mouse or keyboard, Alt with its access key included), not the
    // program. Picking the tab that is already current is not a pick; picking any tab while
    // there is no current tab is.
    void tabPicked(int index);

private:
    void showCurrent(int index);
    void pickedByUser(int index);
    // The page `step` tabs on, round the strip, as picked by the user.
    void turnPage(int step);
    void updateSizePolicy();

    IndexTabBar* m_tabs;
    QStackedWidget* m_pages;
    QWidget* m_blank; // the stack's page while there is no current tab
    QBoxLayout* m_layout;
    int m_current = -1;
    bool m_settingByProgram = false;
};

} // namespace kestrel
