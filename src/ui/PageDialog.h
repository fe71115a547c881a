#pragma once

#include <QDialog>

// A dialog that lives as a page inside another window (a tab of the main
// window). It is never ended on its own: Escape goes on to the window that
// holds it, as in a dialog of child pages, and so does a right-click.
class PageDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PageDialog(QWidget* parent = nullptr);

public Q_SLOTS:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The holding window's context menu serves the page too.
    void contextMenuEvent(QContextMenuEvent* event) override;
};
