#include "ReviewDlg.h"

#include "Catalogue.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamDb.h"
#include "Exchange.h"
#include "ReportList.h"
#include "ResultRows.h"
#include "TextResource.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {
constexpr int ReviewTemplate = Ids::Review::Template;
constexpr int EssayReportTemplate = Ids::EssayReport::Template;
constexpr int IdList = Ids::Review::IdList;
constexpr int IdExplain = Ids::Review::IdExplain;
constexpr int IdEssayReport = Ids::Review::IdEssayReport;
constexpr int IdTitle = Ids::EssayReport::IdTitle;
constexpr int IdEssay = Ids::EssayReport::IdEssay;
constexpr int IdReport = Ids::EssayReport::IdReport;
} // namespace

CReviewDlg::CReviewDlg(const QString& paper, QWidget* parent) : QDialog(parent), m_strPaper(paper)
{
    setAttribute(Qt::WA_DeleteOnClose);
    Ui::ApplyTemplate(this, ReviewTemplate);
    connect(Ui::Control<QPushButton>(this, IdEssayReport), &QPushButton::clicked, this,
            &CReviewDlg::OnShowEssayReport);
    OnInitDialog();
}

void CReviewDlg::UpdateData(bool save)
{
    Ui::ExchangeText(save, Ui::FindControl(this, IdExplain), m_strExplain);
}

bool CReviewDlg::OnInitDialog()
{
    // On the viewport, as for the list (see Ui::SetListColour).
    if (auto* explain = Ui::Control<QPlainTextEdit>(this, IdExplain)) {
        QPalette palette = explain->viewport()->palette();
        palette.setColor(QPalette::Base, QColor(140, 230, 0));
        explain->viewport()->setPalette(palette);
    }
    auto* list = Ui::Control<QTableWidget>(this, IdList);
    Ui::SetListColour(list, QColor(150, 230, 0));
    Ui::SetupReportList(list,
                        {{"题 号", 8},
                         {"你的答案", 12},
                         {"正确答案", 12},
                         {"题 号", 8},
                         {"你的答案", 12},
                         {"正确答案", 12}},
                        Qt::AlignHCenter);
    Ui::FitReportListToBox(list);

    // Two wrong answers to a row.
    const Results::Rows wrong = Results::WrongAnswers(m_strPaper);
    Ui::FillReportList(list, wrong.rows, Qt::AlignHCenter);
    if (wrong.result == ExamDb::Result::NoDriver)
        return true;

    const int id = ExplanationTextId(m_strPaper);
    if (id > 0)
        m_strExplain = LoadTextResource(id);
    if (!m_strExplain.isEmpty())
        UpdateData(false);
    return true;
}

void CReviewDlg::OnShowEssayReport()
{
    CEssayReportDlg report;
    report.m_strEssayTitle = m_strEssayTitle;
    report.m_strEssay = m_strEssay;
    report.m_strReport = m_strReport;
    report.DoModal();
}

CEssayReportDlg::CEssayReportDlg(QWidget* parent) : QDialog(parent)
{
    Ui::ApplyTemplate(this, EssayReportTemplate);
    // The report runs longer than its box: a scroll bar comes when it does.
    if (auto* report = Ui::Control<QPlainTextEdit>(this, IdReport))
        report->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void CEssayReportDlg::UpdateData(bool save)
{
    Ui::ExchangeText(save, Ui::FindControl(this, IdEssay), m_strEssay);
    Ui::ExchangeText(save, Ui::FindControl(this, IdTitle), m_strEssayTitle);
    Ui::ExchangeText(save, Ui::FindControl(this, IdReport), m_strReport);
}

int CEssayReportDlg::DoModal()
{
    UpdateData(false);
    return exec();
}
