#include "GradeDlgs.h"

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamDb.h"
#include "Exchange.h"
#include "MessageBox.h"
#include "ReportList.h"
#include "ResultRows.h"

#include <QPushButton>
#include <QTableWidget>

namespace {
constexpr int QueryTemplate = Ids::GradeQuery::Template;
constexpr int ListTemplate = Ids::GradeList::Template;
constexpr int AnswerListTemplate = Ids::AnswerList::Template;
using Ids::GradeList::IdTitle;
using Ids::GradeQuery::IdCancel;
using Ids::GradeQuery::IdName;
using Ids::GradeQuery::IdQuery;
// The grade list and the answer status list hold their list under one id.
using Ids::GradeList::IdList;
static_assert(Ids::AnswerList::IdList == IdList);
} // namespace

CGradeQueryDlg::CGradeQueryDlg(QWidget* parent) : QDialog(parent)
{
    Ui::ApplyTemplate(this, QueryTemplate);
    connect(Ui::Control<QPushButton>(this, IdQuery), &QPushButton::clicked, this,
            &CGradeQueryDlg::OnQuery);
    connect(Ui::Control<QPushButton>(this, IdCancel), &QPushButton::clicked, this,
            &QDialog::reject);
}

void CGradeQueryDlg::UpdateData(bool save)
{
    Ui::ExchangeText(save, Ui::FindControl(this, IdName), m_strName);
}

void CGradeQueryDlg::OnQuery()
{
    UpdateData(true);
    if (m_strName.isEmpty()) {
        Ui::Prompt(this, QStringLiteral("请填写考生姓名！"));
        return;
    }
    CGradeListDlg list;
    list.m_strName = m_strName;
    reject();
    list.DoModal();
}

CGradeListDlg::CGradeListDlg(QWidget* parent) : QDialog(parent)
{
    Ui::ApplyTemplate(this, ListTemplate);
}

void CGradeListDlg::UpdateData(bool save)
{
    Ui::ExchangeText(save, Ui::FindControl(this, IdTitle), m_strTitle);
}

int CGradeListDlg::DoModal()
{
    if (!OnInitDialog())
        return QDialog::Rejected;
    return exec();
}

bool CGradeListDlg::OnInitDialog()
{
    auto* list = Ui::Control<QTableWidget>(this, IdList);
    Ui::SetupReportList(list, {{"序 号", 10}, {"试 题 名", 30}, {"考试时间", 21}, {"成 绩", 10}},
                        Qt::AlignLeft);

    const Results::Rows history = Results::GradeHistory(m_strName);
    if (history.result == ExamDb::Result::Done && history.rows.isEmpty()) {
        Ui::Prompt(this, QStringLiteral("查无该同学历次考试成绩！"));
        return false;
    }
    m_strTitle = m_strName + m_strTitle;
    UpdateData(false);
    Ui::FillReportList(list, history.rows, Qt::AlignLeft);
    return true;
}

CAnswerListDlg::CAnswerListDlg(const QString& paper, QWidget* parent)
    : QDialog(parent), m_strPaper(paper)
{
    setAttribute(Qt::WA_DeleteOnClose);
    Ui::ApplyTemplate(this, AnswerListTemplate);
    OnInitDialog();
}

bool CAnswerListDlg::OnInitDialog()
{
    auto* list = Ui::Control<QTableWidget>(this, IdList);
    Ui::SetupReportList(list,
                        {{"题 号", 8},
                         {"   答  案 ", 12},
                         {"题 号", 8},
                         {"   答  案 ", 12},
                         {"题 号", 8},
                         {"   答  案 ", 12}},
                        Qt::AlignHCenter);
    // Three questions to a row, in the order the database gives them.
    const QList<QStringList> rows = Results::AnswerStatus(m_strPaper).rows;
    m_nRow = int(rows.size()) - 1;
    Ui::FillReportList(list, rows, Qt::AlignHCenter);
    return true;
}
