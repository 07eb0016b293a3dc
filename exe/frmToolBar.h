#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>

class QAction;
class QTimer;

namespace kestrel {

class ElasticPanel;
class TagButton;
struct Program;

// The main window: the live countdown line in its title, seven picture buttons that open and
// close the other windows, the today line, the target line and the company panel. It owns the
// one-second timer that drives the countdown, the breakdown window and the countdown file.
class frmToolBar : public QMainWindow
{
    Q_OBJECT
public:
    enum Button
    {
        CountDownButton = 0,
        CalendarButton = 1,
        CalculatorButton = 2,
        OptionsButton = 3,
        ReportButton = 4,
        HelpButton = 5,
        CloseButton = 6,
    };

    explicit frmToolBar(Program& program);
    ~frmToolBar() override;

    // The load steps: place, open flags, countdown, company and target lines, the windows open
    // at the last close. Run at start-up and again after the options dialog and the about
    // window; on those later runs the window keeps its place and the windows that are open stay
    // as they are.
    void Load();

    // Computes the countdown and shows it: the title line and the today line. The timer is off
    // while it runs and on afterwards unless the format is years only.
    void RefreshCountdown();
    // One tick: the countdown, the open breakdown window, the countdown file.
    void Timer1_Timer();
    // The refresh hook: the countdown and every open display at once.
    void Label1_Change();
    // A button press (also from the menus); an index outside 0 to 6 does nothing.
    void Command1_Click(int index);

    TagButton* Command1(int index) const;
    ElasticPanel* VSElastic5(int index) const;
    ElasticPanel* VSElastic3() const { return m_company; }
    bool timerEnabled() const;

    // Open flags of the windows the buttons open, kept in the buttons' tags.
    bool openFlag(int index) const;
    void setOpenFlag(int index, bool open);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void enableTimer();
    void toggleWindow(int index, QWidget* (frmToolBar::*create)());
    void openOptions();
    void openReport();
    void showAbout();
    void endProgram();
    void writePlaceAndSaveWindows();
    void refreshOpenDisplays();
    void RestoreOpenWindows();
    QWidget* createCountDown();
    QWidget* createDeskCal();
    QWidget* createCalc();
    QWidget* findWindow(const char* name) const;

    Program& m_program;
    std::array<TagButton*, 7> m_buttons{};
    std::array<QAction*, 5> m_tools{};
    ElasticPanel* m_frame = nullptr;
    ElasticPanel* m_today = nullptr;
    ElasticPanel* m_target = nullptr;
    ElasticPanel* m_company = nullptr;
    QTimer* m_timer = nullptr;
    bool m_loaded = false;
    bool m_ended = false;
};

} // namespace kestrel
