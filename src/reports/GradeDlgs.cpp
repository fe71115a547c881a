#include "GradeDlgs.h"

#include "DialogTemplate.h"
#include "ExamDb.h"
#include "Exchange.h"
#include "MessageBox.h"
#include "ReportList.h"

#include <QPushButton>
#include <QTableWidget>

namespace {
constexpr int QueryTemplate = 143;
constexpr int ListTemplate = 144;
constexpr int AnswerListTemplate = 145;
constexpr int IdName = 1053;
constexpr int IdQuery = 1052;
constexpr int IdCancel = 2;
constexpr int IdTitle = 1054;
constexpr int IdList = 1004;
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

QString CGradeListDlg::RowNumber(int n)
{
    if (n < 10)
        return QStringLiteral("00%1").arg(n);
    if (n < 100)
        return QStringLiteral("0%1").arg(n);
    return QString::number(n);
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

    QList<QStringList> rows;
    bool anyRow = false;
    const ExamDb::Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::GradeHistory, {m_strName}, [&](const ExamDb::Row& row) {
            anyRow = true;
            const QString paper = row.Text("试题名");
            const std::optional<qint16> score = row.Short("成绩");
            const QString time = row.Text("考试时间");
            rows << QStringList{RowNumber(int(rows.size()) + 1), paper, time,
                                score ? QString::number(*score) : QString()};
        });
    });
    if (result == ExamDb::Result::Done && !anyRow) {
        Ui::Prompt(this, QStringLiteral("查无该同学历次考试成绩！"));
        return false;
    }
    m_strTitle = m_strName + m_strTitle;
    UpdateData(false);
    Ui::FillReportList(list, rows, Qt::AlignLeft);
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
    QList<QStringList> rows;
    int i = 0;
    ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::ListAnswers, {m_strPaper}, [&](const ExamDb::Row& row) {
            const QStringList pair{row.Text("题号"), row.Text("回答")};
            if (i++ % 3 == 0) {
                rows << pair;
                m_nRow = int(rows.size()) - 1;
            } else {
                rows[m_nRow] << pair;
            }
        });
    });
    Ui::FillReportList(list, rows, Qt::AlignHCenter);
    return true;
}
