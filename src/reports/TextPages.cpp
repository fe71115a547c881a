#include "TextPages.h"

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "Exchange.h"
#include "TextResource.h"

namespace {
constexpr int PrefaceTemplate = Ids::Preface::Template;
constexpr int PrefaceEdit = Ids::Preface::IdText;
constexpr int UsageTemplate = Ids::Usage::Template;
constexpr int UsageEdit = Ids::Usage::IdText;
} // namespace

CPrefacePage::CPrefacePage(QWidget* parent) : PageDialog(parent)
{
    Ui::ApplyTemplate(this, PrefaceTemplate);
    OnInitDialog();
}

bool CPrefacePage::OnInitDialog()
{
    m_strPreface = LoadTextResource(TextId::Preface);
    if (m_strPreface.isEmpty())
        return false;
    UpdateData(false);
    return true;
}

void CPrefacePage::UpdateData(bool save)
{
    Ui::ExchangeText(save, Ui::FindControl(this, PrefaceEdit), m_strPreface);
}

CUsagePage::CUsagePage(QWidget* parent) : PageDialog(parent)
{
    Ui::ApplyTemplate(this, UsageTemplate);
    OnInitDialog();
}

bool CUsagePage::OnInitDialog()
{
    m_strText = LoadTextResource(TextId::Usage, TextCap::Usage);
    if (m_strText.isEmpty())
        return false;
    UpdateData(false);
    return true;
}

void CUsagePage::UpdateData(bool save)
{
    Ui::ExchangeText(save, Ui::FindControl(this, UsageEdit), m_strText);
}
