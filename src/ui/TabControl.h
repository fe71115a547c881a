#pragma once

#include <QWidget>

class QTabBar;

// A tab strip with a panel below it, as the Windows tab control draws it. The
// pages are ordinary children placed by their owner; the control only tells
// which tab is selected.
class TabControl : public QWidget
{
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

    void InsertItem(int index, const QString& text);
    int GetCurSel() const;
    void SetCurSel(int index);
    QTabBar* TabBar() const { return m_bar; }

Q_SIGNALS:
    // The selection changed (the tab control's TCN_SELCHANGE).
    void SelChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTabBar* m_bar;
};
