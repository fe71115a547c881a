#include "ExamPage.h"

#include "DialogTemplate.h"

namespace {
constexpr int ExamTemplate = 131;
}

CExamPage::CExamPage(QWidget* parent) : PageDialog(parent)
{
    Ui::ApplyTemplate(this, ExamTemplate);
}
