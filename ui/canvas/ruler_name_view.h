#pragma once

#include <QPointer>
#include <QWidget>

#include <string>

class QLineEdit;

namespace nelvo {

// A ruler's name above the axis, in up to three lines broken between words; what does not fit
// ends in an ellipsis. Double-click edits it in place, in a field as wide as the name needs:
// Return or leaving the field commits, Escape cancels. A press and drag here drags the ruler
// like its hours do.
class RulerNameView : public QWidget {
    Q_OBJECT

public:
    explicit RulerNameView(QWidget* parent);
    ~RulerNameView() override;

    void setRuler(const std::string& id, const QString& name, const QString& label, bool isPrimary);
    const std::string& id() const { return m_id; }
    const QString& name() const { return m_name; }
    // The field while a rename is on; null otherwise.
    QLineEdit* editor() const;
    void beginRename();
    // The lines the name is drawn in.
    QStringList captionLines() const;

Q_SIGNALS:
    void renamed(const QString& label);
    // A rename ended from the keyboard (Return or Escape).
    void renameFinished();
    void pressed(QPointF global);
    void moved(QPointF global);
    void released(QPointF global);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finishRename(bool commit);
    void placeEditor();

    std::string m_id;
    QString m_name;
    QString m_label;
    bool m_isPrimary = false;
    bool m_pressed = false;
    // A child of the window, so that it can be wider than the ruler.
    QPointer<QLineEdit> m_editor;
};

}  // namespace nelvo
