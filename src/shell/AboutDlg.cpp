#include "AboutDlg.h"

#include "DialogIds.h"
#include "DialogTemplate.h"

#include <QPushButton>

namespace {
constexpr int AboutTemplate = Ids::About::Template;
constexpr int OkButton = Ids::About::IdOk;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    Ui::ApplyTemplate(this, AboutTemplate);
    if (auto* ok = Ui::Control<QPushButton>(this, OkButton))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
