#include "GradeDlgs.h"

#include "ClassBook.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamDb.h"
#include "Exchange.h"
#include "MessageBox.h"
#include "ProgressDlgs.h"
#include "ReportList.h"
#include "ResultRows.h"
#include "StringTable.h"

#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

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

CGradeListDlg::CGradeListDlg(QWidget* parent) : QDialog(parent), m_classServer(ClassServer::Load())
{
    Ui::ApplyTemplate(this, ListTemplate);
    m_chooseExportPath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("导出成绩"), suggested,
                                            QStringLiteral("CSV 文件 (*.csv)"));
    };
    using namespace Ids::GradeList;
    connect(Ui::Control<QPushButton>(this, IdAnalysis), &QPushButton::clicked, this, [this] {
        const QList<QTableWidgetItem*> chosen =
            Ui::Control<QTableWidget>(this, IdList)->selectedItems();
        OnAnalysis(chosen.isEmpty() ? -1 : chosen.front()->row());
    });
    connect(Ui::Control<QTableWidget>(this, IdList), &QTableWidget::cellDoubleClicked, this,
            [this](int row) { OnAnalysis(row); });
    connect(Ui::Control<QPushButton>(this, IdExport), &QPushButton::clicked, this,
            &CGradeListDlg::OnExport);
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

    QString note;
    std::optional<Results::Rows> history;
    if (m_classServer.Configured()) {
        ClassBook::ServerHistory server = ClassBook::ReadHistory(m_classServer, m_strName);
        note = Ui::LoadString(Ui::Str::HistoryLocalOnly);
        if (server.outcome.status == ClassServer::Status::Done) {
            note = Ui::LoadString(Ui::Str::HistoryFromClass);
            // What waits in the outbox is not on the server yet.
            if (const qsizetype waiting = ClassServer::Outbox::Read().parcels.size())
                note += Ui::LoadString(Ui::Str::HistoryWaiting).arg(waiting);
            m_history = std::move(server.history);
            history.emplace();
            for (const Progress::Exam& exam : m_history.exams)
                history->rows << QStringList{Results::RowNumber(int(history->rows.size()) + 1),
                                             exam.paper, exam.time,
                                             QString::number(qint64(exam.total.value_or(0)))};
        }
    }
    const bool fromServer = history.has_value();
    if (!fromServer)
        history = Results::GradeHistory(m_strName);
    if (history->result == ExamDb::Result::Done && history->rows.isEmpty()) {
        Ui::Prompt(this, QStringLiteral("查无该同学历次考试成绩！"));
        return false;
    }
    m_strTitle = m_strName + m_strTitle + note;
    UpdateData(false);
    Ui::FillReportList(list, history->rows, Qt::AlignLeft);

    // The trend below the list: the totals, or each section's rate, drawn
    // when first asked for.
    if (!fromServer)
        m_history = Progress::Read(m_strName);
    using namespace Ids::GradeList;
    auto* trend = Ui::Control<QGroupBox>(this, IdTrend);
    auto* views = new QStackedWidget(trend);
    (new QVBoxLayout(trend))->addWidget(views);
    views->addWidget(ProgressCharts::View(ProgressCharts::Totals(m_history), "totals"));
    auto* choice = Ui::Control<QComboBox>(this, IdTrendView);
    choice->setCurrentIndex(0);
    connect(choice, &QComboBox::currentIndexChanged, views, [this, views](int index) {
        if (index == 1 && views->count() == 1)
            views->addWidget(
                ProgressCharts::View(ProgressCharts::SectionRates(m_history), "sectionRates"));
        views->setCurrentIndex(index);
    });
    return true;
}

void CGradeListDlg::OnAnalysis(int row)
{
    // The list row's paper and time name its exam; without a row, the latest.
    int exam = row < 0 ? int(m_history.exams.size()) - 1 : -1;
    if (row >= 0) {
        const auto* list = Ui::Control<QTableWidget>(this, IdList);
        const QString paper = list->item(row, 1)->text();
        const QString time = list->item(row, 2)->text();
        for (qsizetype i = 0; i < m_history.exams.size(); ++i) {
            if (m_history.exams[i].paper == paper && m_history.exams[i].time == time) {
                exam = int(i);
                break;
            }
        }
    }
    if (exam < 0)
        return;
    CGradeAnalysisDlg analysis(m_strName, m_history, exam, this);
    analysis.exec();
}

void CGradeListDlg::OnExport()
{
    QString suggested = m_strName + QStringLiteral("历次考试成绩.csv");
    suggested.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString path = m_chooseExportPath(QDir::home().filePath(suggested));
    if (path.isEmpty())
        return;
    QString error;
    if (!Progress::SaveFile(path, Progress::Csv(m_history), &error)) {
        Ui::Prompt(
            this,
            Ui::LoadString(Ui::Str::HistoryNotExported).arg(QDir::toNativeSeparators(path), error));
        return;
    }
    Ui::Prompt(this, Ui::LoadString(Ui::Str::HistoryExported)
                         .arg(m_strName, QString::number(m_history.exams.size()),
                              QDir::toNativeSeparators(path)));
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
