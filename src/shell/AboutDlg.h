#pragma once

#include <QDialog>

// The About box: the product name and version, closed with 确定.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
