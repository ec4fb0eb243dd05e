#pragma once

#include <QToolButton>

class QTimer;

namespace nelvo {

class AvailabilityModel;
class CopyActions;
class SaveActions;

// The copy button: a click copies availability; a long press or the arrow opens Copy as
// Table, Copy as Picture, Save Picture… and Save as File…. After any copy it reads "Copied"
// for 1.2 seconds; a new copy starts the wait again.
class CopyButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int copiedMilliseconds = 1200;

    CopyButton(AvailabilityModel& model, QWidget* parent = nullptr);
    ~CopyButton() override;

    CopyActions& copyActions() const { return *m_copy; }
    SaveActions& saveActions() const { return *m_save; }
    bool isShowingCopied() const { return m_showingCopied; }

    // The menu's entries, for the window's commands to share their state.
    QAction* copyTableAction() const { return m_copyTable; }
    QAction* copyPictureAction() const { return m_copyPicture; }
    QAction* savePictureAction() const { return m_savePicture; }
    QAction* saveFileAction() const { return m_saveFile; }

    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showCopied();
    void showResting();
    void updateTableAvailability();
    bool isOnArrow(const QPoint& position) const;

    AvailabilityModel& m_model;
    CopyActions* m_copy;
    SaveActions* m_save;
    QAction* m_copyTable;
    QAction* m_copyPicture;
    QAction* m_savePicture;
    QAction* m_saveFile;
    QTimer* m_reset;
    QTimer* m_longPress;
    bool m_showingCopied = false;
    bool m_openedByLongPress = false;
};

}  // namespace nelvo
