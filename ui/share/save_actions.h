#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QByteArray;
class QFileDialog;
class QWidget;

namespace nelvo {

class AvailabilityModel;

// Save as File… and Save Picture…: a save panel on the window with the suggested name, then
// an atomic write of what was shown when the panel opened. Cancelling writes nothing; a
// failed write shows "Couldn't save the file" with the system's reason.
class SaveActions : public QObject {
    Q_OBJECT
public:
    using Scale = std::function<double()>;

    static constexpr const char* errorText = "Couldn't save the file";

    // `window` parents the panels and the alert; without one they are application-modal.
    SaveActions(AvailabilityModel& model, QWidget* window, Scale scale, QObject* parent = nullptr);

    // The single-zone Markdown, whatever the number of zones, as "<stem>.md".
    void saveFile();
    // The picture as "<stem>.png"; nothing happens when it does not render.
    void savePicture();

    // The panel while one is open (for tests and the window's own checks).
    QFileDialog* panel() const;

    // Writes `bytes` over `path` atomically; on failure shows the alert and returns false.
    bool write(const QString& path, const QByteArray& bytes);

Q_SIGNALS:
    void saved(const QString& path);

private:
    void openPanel(const QString& caption, const QString& fileName, const QString& filter,
                   const QString& suffix, const QByteArray& content);
    void showError(const QString& reason);

    AvailabilityModel& m_model;
    QPointer<QWidget> m_window;
    Scale m_scale;
    QPointer<QFileDialog> m_panel;
    QString m_lastFolder;
};

}  // namespace nelvo
