#include "ui/share/preview_panel.h"

#include "app/availability_model.h"
#include "ui/share/clipboard_content.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace nelvo {

namespace {

QPlainTextEdit* makeText(const QString& name, QWidget* parent)
{
    auto* text = new QPlainTextEdit(parent);
    text->setReadOnly(true);
    // Selectable and focusable, so a screen reader can walk it line by line.
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setAccessibleName(name);
    return text;
}

void setIfChanged(QPlainTextEdit* edit, const QString& text)
{
    // Setting the same text again would relayout it and lose the reader's place.
    if (edit->toPlainText() != text)
        edit->setPlainText(text);
}

}  // namespace

PreviewPanel::PreviewPanel(AvailabilityModel& model, QWidget* parent)
    : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("previewPanel"));
    setAccessibleName(tr("Preview"));
    setAccessibleDescription(tr("What Copy Availability puts on the clipboard"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 12, 8);
    layout->setSpacing(6);

    auto* caption = new QLabel(tr("Copy Availability gives"), this);
    m_availability = makeText(tr("Availability text, as copied"), this);
    m_availability->setObjectName(QStringLiteral("previewAvailability"));
    caption->setBuddy(m_availability);
    m_tableCaption = new QLabel(tr("Copy as Table gives"), this);
    m_table = makeText(tr("Table text, as copied"), this);
    m_table->setObjectName(QStringLiteral("previewTable"));
    m_tableCaption->setBuddy(m_table);
    layout->addWidget(caption);
    layout->addWidget(m_availability, 1);
    layout->addWidget(m_tableCaption);
    layout->addWidget(m_table, 1);

    const auto changed = [this] {
        m_stale = true;
        if (isVisible())
            refresh();
    };
    // Every input of the chat text and the table: the slots, the render options (zones,
    // clock, labels) and the table itself.
    connect(&m_model, &AvailabilityModel::slotsChanged, this, changed);
    connect(&m_model, &AvailabilityModel::renderOptionsChanged, this, changed);
    connect(&m_model, &AvailabilityModel::tableChanged, this, changed);
    connect(&m_model, &AvailabilityModel::settingsChanged, this, changed);
    refresh();
}

PreviewPanel::~PreviewPanel() = default;

QString PreviewPanel::availabilityText() const
{
    return m_availability->toPlainText();
}

QString PreviewPanel::tableText() const
{
    return m_table->isHidden() ? QString() : m_table->toPlainText();
}

void PreviewPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale)
        refresh();
}

void PreviewPanel::refresh()
{
    m_stale = false;
    setIfChanged(m_availability,
                 QString::fromStdString(ClipboardContent::availabilityPlainText(m_model)));
    const std::optional<std::string> table = ClipboardContent::tablePlainText(m_model);
    m_tableCaption->setVisible(table.has_value());
    m_table->setVisible(table.has_value());
    setIfChanged(m_table, table ? QString::fromStdString(*table) : QString());
}

}  // namespace nelvo
