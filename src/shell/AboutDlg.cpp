#include "AboutDlg.h"

#include "DialogTemplate.h"

#include <QPushButton>

namespace {
constexpr int AboutTemplate = 100;
constexpr int OkButton = 1;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    Ui::ApplyTemplate(this, AboutTemplate);
    if (auto* ok = Ui::Control<QPushButton>(this, OkButton))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
