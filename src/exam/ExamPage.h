#pragma once

#include "PageDialog.h"

// The exam tab.
class CExamPage : public PageDialog
{
    Q_OBJECT
public:
    explicit CExamPage(QWidget* parent = nullptr);
};
