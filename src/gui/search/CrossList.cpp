#include "CrossList.h"

#include <QKeyEvent>
#include <QMouseEvent>

CrossList::CrossList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    m_clock.start();
}

void CrossList::setLines(const QStringList& lines)
{
    clear();
    addItems(lines);
}

QStringList CrossList::lines() const
{
    QStringList result;
    result.reserve(count());
    for (int line = 0; line < count(); ++line)
        result << item(line)->text();
    return result;
}

void CrossList::choose(int line)
{
    if (line < 0)
        return;
    setCurrentRow(line);
    emit lineChosen();
}

void CrossList::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && event->key() == Qt::Key_Backspace) {
        choose(m_typeAhead.backspace(m_clock.elapsed(), lines()));
        return;
    }
    if (plain && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        for (QChar ch : event->text())
            choose(m_typeAhead.typed(ch, m_clock.elapsed(), lines()));
        return;
    }
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit lineChosen();
}

void CrossList::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit lineChosen();
}

void CrossList::mouseMoveEvent(QMouseEvent* event)
{
    const int before = currentRow();
    QListWidget::mouseMoveEvent(event);
    if ((event->buttons() & Qt::LeftButton) && currentRow() != before && currentRow() >= 0)
        emit lineChosen();
}

void CrossList::focusInEvent(QFocusEvent* event)
{
    // Without a selected line the first arrow key selects line 0, as
    // nothing is current until then.
    const QModelIndex current = currentIndex();
    QListWidget::focusInEvent(event);
    if (!current.isValid() && currentIndex().isValid() && !selectionModel()->isSelected(currentIndex()))
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}
