#pragma once

#include "ui/tour/callout_bubble.h"

class QLabel;
class QPushButton;

namespace nelvo {

class Tour;

// The tour's bubble: the step's icon, title and text, "Step N of M", "Skip" and "Next"
// ("Done" on the last step). Shown while the tour runs, beside the control the step explains.
class TourCallout : public CalloutBubble {
    Q_OBJECT

public:
    TourCallout(Tour& tour, QWidget* host);

    QString title() const;
    QString progress() const;
    QPushButton* nextButton() const { return m_next; }
    QPushButton* skipButton() const { return m_skip; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showStep();

    Tour& m_tour;
    QLabel* m_icon;
    QLabel* m_title;
    QLabel* m_body;
    QLabel* m_progress;
    QPushButton* m_skip;
    QPushButton* m_next;
};

}  // namespace nelvo
