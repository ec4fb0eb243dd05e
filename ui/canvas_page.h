#pragma once

#include <QWidget>

class QHBoxLayout;
class QTimer;
class QUndoStack;
class QVBoxLayout;

namespace nelvo {

class AvailabilityModel;
class CalendarNotice;
class Commands;
class PreviewPanel;
class SideControls;
class UserDefaults;

// What the window shows once onboarding is done: a row of controls above the canvas. While
// it is shown the model drops expired free time and notices a new day every minute.
class CanvasPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int refreshIntervalMilliseconds = 60'000;
    static constexpr int previewWidth = 300;

    CanvasPage(AvailabilityModel& model, UserDefaults& defaults, Commands& commands,
               QUndoStack& undoStack, bool demo, QWidget* parent = nullptr);
    ~CanvasPage() override;

    AvailabilityModel& model() const { return m_model; }
    bool isDemo() const { return m_demo; }
    // The minute timer that runs refreshDay() while the page is visible.
    const QTimer& refreshTimer() const { return *m_refresh; }
    // The day slider, start day, settings, tour and tips.
    SideControls& side() const { return *m_side; }
    // The bar that names calendars that are not up to date; hidden while all are.
    CalendarNotice& notice() const { return *m_notice; }
    // The text Copy Availability would write, beside the canvas (hidden by default).
    PreviewPanel& preview() const { return *m_preview; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    AvailabilityModel& m_model;
    UserDefaults& m_defaults;
    Commands& m_commands;
    QUndoStack& m_undoStack;
    bool m_demo;
    QTimer* m_refresh;
    QHBoxLayout* m_toolbar;     // the row of controls
    QVBoxLayout* m_canvasArea;  // the canvas fills it
    SideControls* m_side;
    CalendarNotice* m_notice;
    PreviewPanel* m_preview;
};

}  // namespace nelvo
