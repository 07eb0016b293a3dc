#pragma once

#include "SaverSettings.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QTimer;

namespace kestrel {
class Clock;
class ElasticPanel;
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

    QLabel* captionLabel(int k) const;
    QLabel* numberLabel(int k) const;
    ElasticPanel* projectPanel() const { return m_project; }
    ElasticPanel* captionRow() const { return m_captionRow; }
    ElasticPanel* numberRow() const { return m_numberRow; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void countInput(ExitCounter::Event event);

    ExitCounter* m_counter;
    std::function<void()> m_end;
    ElasticPanel* m_frame = nullptr;
    ElasticPanel* m_captionRow = nullptr;
    ElasticPanel* m_numberRow = nullptr;
    ElasticPanel* m_project = nullptr;
    std::array<QLabel*, 5> m_captions{};
    std::array<QLabel*, 5> m_numbers{};
    bool m_ended = false;
};

} // namespace kestrel::saver
