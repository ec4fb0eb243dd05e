#pragma once

#include <QToolButton>

#include <QPointer>

class QTimer;
class QVariantAnimation;

namespace nelvo {

class AvailabilityModel;
class Commands;
class CopyActions;
class SaveActions;

// The copy button: a click copies availability; a long press or the arrow opens Copy as
// Table, Copy as Picture, Save Picture… and Save as File…. After any copy it reads "Copied"
// for 1.2 seconds; a new copy starts the wait again. Both changes come in with a spring
// unless the desktop turns animations off. Its default accessible action copies.
class CopyButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int copiedMilliseconds = 1200;

    CopyButton(AvailabilityModel& model, QWidget* parent = nullptr);
    ~CopyButton() override;

    // The window's copy and save commands (menus, shortcuts) run this button's actions from
    // now on, enabled, until the button goes.
    void useCommands(Commands& commands);

    CopyActions& copyActions() const { return *m_copy; }
    SaveActions& saveActions() const { return *m_save; }
    bool isShowingCopied() const { return m_showingCopied; }
    // The spring that brings a new text in; stopped when there is none to run.
    QVariantAnimation* textChange() const { return m_change; }

    // The menu's entries, for the window's commands to share their state.
    QAction* copyTableAction() const { return m_copyTable; }
    QAction* copyPictureAction() const { return m_copyPicture; }
    QAction* savePictureAction() const { return m_savePicture; }
    QAction* saveFileAction() const { return m_saveFile; }

    QSize sizeHint() const override;

    // A line added to the tooltip while copying may share busy time as free; empty: none.
    void setWarning(const QString& warning);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showCopied();
    void updateToolTip();
    void showResting();
    void showText(const QString& text, const char* symbol);
    void updateTableAvailability();
    bool isOnArrow(const QPoint& position) const;

    AvailabilityModel& m_model;
    QString m_warning;
    CopyActions* m_copy;
    SaveActions* m_save;
    QAction* m_copyTable;
    QAction* m_copyPicture;
    QAction* m_savePicture;
    QAction* m_saveFile;
    QTimer* m_reset;
    QTimer* m_longPress;
    QVariantAnimation* m_change;
    double m_changeProgress = 1;  // 0: the new text just came, 1: it is in place
    QPointer<Commands> m_commands;
    bool m_showingCopied = false;
    bool m_openedByLongPress = false;
};

}  // namespace nelvo
