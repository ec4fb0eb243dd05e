#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace nelvo {

class AvailabilityModel;

// What Copy availability will put on the clipboard, shown before it is copied: its
// plain text and, with two zones or more, the table's. Both come from ClipboardContent, the
// source the clipboard itself uses, and follow the canvas while the panel is shown; a hidden
// panel catches up when it is shown again. Read-only text a screen reader can read.
class PreviewPanel : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPanel(AvailabilityModel& model, QWidget* parent = nullptr);
    ~PreviewPanel() override;

    QString availabilityText() const;
    // Empty while the table is not offered.
    QString tableText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    AvailabilityModel& m_model;
    bool m_stale = true;
    QPlainTextEdit* m_availability;
    QLabel* m_tableCaption;
    QPlainTextEdit* m_table;
};

}  // namespace nelvo
