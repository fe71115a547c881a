#include "PageDialog.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

PageDialog::PageDialog(QWidget* parent) : QDialog(parent, Qt::Widget) {}

void PageDialog::reject() {}

void PageDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PageDialog::contextMenuEvent(QContextMenuEvent* event)
{
    event->ignore();
}
