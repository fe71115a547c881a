#include "TabControl.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    connect(m_bar, &QTabBar::currentChanged, this, &TabControl::SelChange);
}

void TabControl::InsertItem(int index, const QString& text)
{
    const QSignalBlocker blocker(m_bar);
    m_bar->insertTab(index, text);
    m_bar->resize(m_bar->sizeHint());
}

int TabControl::GetCurSel() const
{
    return m_bar->currentIndex();
}

void TabControl::SetCurSel(int index)
{
    m_bar->setCurrentIndex(index);
}

void TabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_bar->resize(m_bar->sizeHint());
}

void TabControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    const int top = m_bar->height() - 1;
    option.rect = rect().adjusted(0, top, 0, 0);
    option.tabBarSize = m_bar->size();
    option.shape = QTabBar::RoundedNorth;
    option.tabBarRect = m_bar->geometry();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
}
