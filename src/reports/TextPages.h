#pragma once

#include "PageDialog.h"

// The preface tab: the preface text in a read-only box.
class CPrefacePage : public PageDialog
{
    Q_OBJECT
public:
    explicit CPrefacePage(QWidget* parent = nullptr);

    bool OnInitDialog();
    void UpdateData(bool save);

    QString m_strPreface;
};

// The usage tab: the usage instructions in a read-only box.
class CUsagePage : public PageDialog
{
    Q_OBJECT
public:
    explicit CUsagePage(QWidget* parent = nullptr);

    bool OnInitDialog();
    void UpdateData(bool save);

    QString m_strText;
};
