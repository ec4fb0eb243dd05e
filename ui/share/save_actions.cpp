#include "ui/share/save_actions.h"

#include "app/availability_model.h"
#include "kit/store/atomic_file.h"
#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace nelvo {

SaveActions::SaveActions(AvailabilityModel& model, QWidget* window, Scale scale, QObject* parent)
    : QObject(parent), m_model(model), m_window(window), m_scale(std::move(scale))
{
}

QFileDialog* SaveActions::panel() const
{
    return m_panel;
}

void SaveActions::saveFile()
{
    openPanel(tr("Save as File"), QString::fromStdString(m_model.fileNameStem()) + ".md",
              tr("Markdown (*.md)"), "md", QByteArray::fromStdString(m_model.markdownText()));
}

void SaveActions::savePicture()
{
    const auto png = ClipboardContent::pictureOf(m_model).png(m_scale ? m_scale() : 1.0);
    if (!png)
        return;
    openPanel(tr("Save Picture"), QString::fromStdString(m_model.fileNameStem()) + ".png",
              tr("PNG image (*.png)"), "png", *png);
}

void SaveActions::openPanel(const QString& caption, const QString& fileName, const QString& filter,
                            const QString& suffix, const QByteArray& content)
{
    if (m_panel)
        m_panel->close();
    auto* panel = new QFileDialog(m_window, caption);
    panel->setObjectName("savePanel");
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(m_window ? Qt::WindowModal : Qt::ApplicationModal);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    panel->setNameFilter(filter);
    panel->setDefaultSuffix(suffix);
    QString folder = m_lastFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    panel->setDirectory(folder);
    panel->selectFile(fileName);
    // The content is what the user saw when choosing to save; only confirming writes it.
    connect(panel, &QFileDialog::fileSelected, this, [this, content](const QString& path) {
        if (path.isEmpty())
            return;
        m_lastFolder = QFileInfo(path).absolutePath();
        write(path, content);
    });
    m_panel = panel;
    panel->open();
}

bool SaveActions::write(const QString& path, const QByteArray& bytes)
{
    const std::error_code error = AtomicFile::write(
        path.toStdString(),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (error) {
        // In the house's words and never translated: the alert around it is in English.
        QString reason = QString::fromStdString(AtomicFile::reason(error));
        if (!reason.isEmpty())
            reason[0] = reason[0].toUpper();
        showError(reason);
        return false;
    }
    Q_EMIT saved(path);
    return true;
}

void SaveActions::showError(const QString& reason)
{
    auto* alert =
        new QMessageBox(QMessageBox::Warning, QString(), tr(errorText), QMessageBox::Ok, m_window);
    alert->setObjectName("saveErrorAlert");
    alert->setInformativeText(reason);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(m_window ? Qt::WindowModal : Qt::ApplicationModal);
    alert->open();
}

}  // namespace nelvo
