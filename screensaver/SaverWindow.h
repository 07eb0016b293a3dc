// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BreakdownView.h"
#include "SaverSettings.h"

#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace kestrel {
class Clock;
} // namespace kestrel

namespace kestrel::saver {

// What the screensaver shows on one screen: the five unit columns and the project title, styled
// from section "CountDown" and scaled to the whole screen (or to the host's window).
class SaverWindow : public QWidget
{
    Q_OBJECT
public:
    // `end` is called when the user's input has reached the exit counter's limit; `counter` is
    // shared by the windows of all screens. With no counter the window counts no input (the
    // screensaver host ends it).
    SaverWindow(const SaverSettings& settings, const BreakdownStyle& style, ExitCounter* counter,
                std::function<void()> end, QWidget* parent = nullptr);
    ~SaverWindow() override;

    // Shows a countdown, or the out-of-range mark.
    void ShowColumns(const BreakdownColumns& columns);

    QLabel* captionLabel(int k) const { return m_view->captionLabel(k); }
    QLabel* numberLabel(int k) const { return m_view->numberLabel(k); }
    ElasticPanel* projectPanel() const { return m_view->projectPanel(); }
    ElasticPanel* captionRow() const { return m_view->captionRow(); }
    ElasticPanel* numberRow() const { return m_view->numberRow(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void countInput(ExitCounter::Event event);

    ExitCounter* m_counter;
    std::function<void()> m_end;
    BreakdownView* m_view = nullptr;
    bool m_ended = false;
};

} // namespace kestrel::saver
