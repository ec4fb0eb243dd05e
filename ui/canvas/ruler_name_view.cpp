#include "ui/canvas/ruler_name_view.h"

#include "ui/canvas/canvas_style.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

namespace nelvo {

namespace {

QFont captionFont(const QFont& base)
{
    return CanvasStyle::font(base, -1.5, true);
}

}  // namespace

RulerNameView::RulerNameView(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::OpenHandCursor);
}

RulerNameView::~RulerNameView()
{
    delete m_editor;
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

QLineEdit* RulerNameView::editor() const
{
    return m_editor;
}

QStringList RulerNameView::captionLines() const
{
    const QFont nameFont = captionFont(font());
    const QFontMetricsF metrics(nameFont);
    const int available = width() - 4;
    // Broken only between words: a word wider than the ruler gets a line of its own and is
    // cut there, never split ("Indianapol" over "is").
    QTextLayout layout(m_name, nameFont);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<QTextLine> lines;
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(available);
        lines.push_back(line);
    }
    layout.endLayout();
    const int shown = std::min<int>(3, static_cast<int>(lines.size()));
    QStringList out;
    for (int i = 0; i < shown; ++i) {
        // The last line shown carries the rest of the name when more would be needed.
        const bool isLast = i == shown - 1 && shown < static_cast<int>(lines.size());
        const QString text =
            m_name.mid(lines[i].textStart(), isLast ? -1 : lines[i].textLength()).trimmed();
        out << metrics.elidedText(text, Qt::ElideRight, available);
    }
    return out;
}

void RulerNameView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFont nameFont = captionFont(font());
    painter.setFont(nameFont);
    painter.setPen(m_isPrimary ? palette().color(QPalette::Text)
                               : CanvasStyle::secondaryText(palette()));
    // Bottom-aligned over the ruler.
    const QFontMetricsF metrics(nameFont);
    const QStringList lines = captionLines();
    double y = height() - 4 - lines.size() * metrics.height();
    for (const QString& text : lines) {
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
    m_editor = new QLineEdit(m_label.isEmpty() ? m_name : m_label, window());
    m_editor->setFont(CanvasStyle::font(font(), -1.5));
    m_editor->setAccessibleName(QStringLiteral("Ruler name"));
    placeEditor();
    connect(m_editor, &QLineEdit::textChanged, this, &RulerNameView::placeEditor);
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

void RulerNameView::placeEditor()
{
    if (!m_editor)
        return;
    QWidget* host = m_editor->parentWidget();
    // The whole text, its frame and the cursor: never narrower than the ruler, never wider
    // than the window.
    const QFontMetrics metrics(m_editor->font());
    const int wanted = metrics.horizontalAdvance(m_editor->text()) + 24;
    const int w = std::max(width(), std::min(wanted, host->width() - 8));
    const QPoint centre = mapTo(host, QPoint(width() / 2, height() - 14));
    const int x = std::max(4, std::min(centre.x() - w / 2, host->width() - w - 4));
    m_editor->setGeometry(x, centre.y() - 12, w, 24);
    m_editor->raise();
}

void RulerNameView::finishRename(bool commit)
{
    if (!m_editor)
        return;
    QLineEdit* editor = m_editor;
    m_editor = nullptr;
    disconnect(editor, nullptr, this, nullptr);
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
