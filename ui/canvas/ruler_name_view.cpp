#include "ui/canvas/ruler_name_view.h"

#include "ui/canvas/canvas_style.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

namespace nelvo {

RulerNameView::RulerNameView(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::OpenHandCursor);
}

void RulerNameView::setRuler(const std::string& id, const QString& name, const QString& label,
                             bool isPrimary)
{
    m_id = id;
    m_name = name;
    m_label = label;
    m_isPrimary = isPrimary;
    setToolTip(name);
    setAccessibleName(name + (isPrimary ? QStringLiteral(", primary") : QString()));
    update();
}

void RulerNameView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFont nameFont = CanvasStyle::font(font(), -1.5, true);
    painter.setFont(nameFont);
    painter.setPen(m_isPrimary ? palette().color(QPalette::Text)
                               : CanvasStyle::secondaryText(palette()));
    // Up to three lines, bottom-aligned over the ruler.
    const QFontMetricsF metrics(nameFont);
    QTextLayout layout(m_name, nameFont);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<QTextLine> lines;
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width() - 4);
        lines.push_back(line);
    }
    layout.endLayout();
    const int shown = std::min<int>(3, static_cast<int>(lines.size()));
    double y = height() - 4 - shown * metrics.height();
    for (int i = 0; i < shown; ++i) {
        QString text = m_name.mid(lines[i].textStart(), lines[i].textLength()).trimmed();
        if (i == shown - 1 && shown < static_cast<int>(lines.size()))
            text =
                metrics.elidedText(m_name.mid(lines[i].textStart()), Qt::ElideRight, width() - 4);
        painter.drawText(QRectF(2, y, width() - 4, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignVCenter, text);
        y += metrics.height();
    }
    if (m_isPrimary) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Highlight));
        painter.drawRoundedRect(QRectF(width() / 2.0 - 8, height() - 3, 16, 2), 1, 1);
    }
}

void RulerNameView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    Q_EMIT pressed(event->globalPosition());
}

void RulerNameView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed)
        Q_EMIT moved(event->globalPosition());
}

void RulerNameView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    Q_EMIT released(event->globalPosition());
}

void RulerNameView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        beginRename();
}

void RulerNameView::beginRename()
{
    if (m_editor)
        return;
    m_editor = new QLineEdit(m_label.isEmpty() ? m_name : m_label, this);
    m_editor->setFont(CanvasStyle::font(font(), -1.5));
    m_editor->setGeometry(0, height() - 26, width(), 24);
    m_editor->setAccessibleName(QStringLiteral("Ruler name"));
    m_editor->selectAll();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::returnPressed, this, [this] { finishRename(true); });
    m_editor->show();
    m_editor->setFocus();
}

bool RulerNameView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            finishRename(false);
            return true;
        }
        if (event->type() == QEvent::FocusOut) {
            finishRename(true);
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RulerNameView::finishRename(bool commit)
{
    if (!m_editor)
        return;
    QLineEdit* editor = m_editor;
    m_editor = nullptr;
    // Return or Escape in the field: the keyboard goes back where the rename began.
    const bool fromKeyboard = editor->hasFocus();
    editor->removeEventFilter(this);
    if (commit && editor->text() != (m_label.isEmpty() ? m_name : m_label))
        Q_EMIT renamed(editor->text());
    if (fromKeyboard)
        Q_EMIT renameFinished();
    editor->hide();
    editor->deleteLater();
}

}  // namespace nelvo
