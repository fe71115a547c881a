#include "ClassBookDlg.h"

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "MessageBox.h"
#include "ReportList.h"
#include "ResultRows.h"
#include "StringTable.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {
using namespace Ids::ClassBook;

QString ServerName(const ClassServer::Settings& settings)
{
    return QStringLiteral("%1:%2/%3").arg(settings.host).arg(settings.port).arg(settings.database);
}

// The points to a tenth, or empty.
QString Points(std::optional<double> points)
{
    return points ? Progress::PointsText(*points) : QString();
}

} // namespace

QString ClassServerMessage(const ClassServer::Settings& settings,
                           const ClassServer::Outcome& outcome)
{
    using ClassServer::Status;
    switch (outcome.status) {
    case Status::Done:
    case Status::NotConfigured:
        return {};
    case Status::NoDriver:
        return Ui::LoadString(Ui::Str::ClassNoDriver);
    case Status::Unreachable:
        return Ui::LoadString(Ui::Str::ClassUnreachable).arg(ServerName(settings), outcome.detail);
    case Status::Refused:
        return Ui::LoadString(Ui::Str::ClassRefused).arg(ServerName(settings), outcome.detail);
    case Status::Failed:
        return Ui::LoadString(Ui::Str::ClassFailed).arg(outcome.detail);
    }
    return {};
}

bool AskClassStudent(QWidget* parent, ClassServer::Settings& settings, const QString& typedName)
{
    using namespace Ids::ClassStudent;
    QDialog ask(parent);
    Ui::ApplyTemplate(&ask, Ids::ClassStudent::Template);
    auto* className = Ui::Control<QLineEdit>(&ask, IdClass);
    auto* name = Ui::Control<QLineEdit>(&ask, IdName);
    className->setText(settings.className);
    name->setText(settings.student.isEmpty() ? typedName : settings.student);
    QObject::connect(Ui::Control<QPushButton>(&ask, IdOk), &QPushButton::clicked, &ask, [&] {
        if (className->text().trimmed().isEmpty() || name->text().trimmed().isEmpty())
            Ui::Prompt(&ask, Ui::LoadString(Ui::Str::ClassStudentMissing));
        else
            ask.accept();
    });
    QObject::connect(Ui::Control<QPushButton>(&ask, Ids::ClassStudent::IdCancel),
                     &QPushButton::clicked, &ask, &QDialog::reject);
    if (ask.exec() != QDialog::Accepted)
        return false;
    settings.className = className->text().trimmed();
    settings.student = name->text().trimmed();
    ClassServer::SaveStudent(settings.className, settings.student);
    return true;
}

CClassBookDlg::CClassBookDlg(const ClassServer::Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    Ui::ApplyTemplate(this, Template);
    m_chooseExportPath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("导出班级成绩"), suggested,
                                            QStringLiteral("CSV 文件 (*.csv)"));
    };
    connect(Ui::Control<QComboBox>(this, IdPaper), &QComboBox::currentIndexChanged, this,
            &CClassBookDlg::OnSelchangePaper);
    connect(Ui::Control<QPushButton>(this, IdExport), &QPushButton::clicked, this,
            &CClassBookDlg::OnExport);
    OnInitDialog();
}

bool CClassBookDlg::OnInitDialog()
{
    QStringList sections;
    for (const Sections::Section& section : Sections::Table)
        sections << QString::fromUtf8(section.name);
    auto* exams = Ui::Control<QTableWidget>(this, IdExams);
    auto* averages = Ui::Control<QTableWidget>(this, IdAverages);
    QList<Ui::ListColumn> examColumns{{"序 号", 5},     {"班 级", 8},     {"姓 名", 8},
                                      {"试 题 名", 20}, {"考试时间", 17}, {"总 分", 6}};
    QList<Ui::ListColumn> averageColumns{
        {"序 号", 5}, {"试 题 名", 20}, {"人 次", 6}, {"总 分", 6}};
    for (const Sections::Section& section : Sections::Table) {
        examColumns.append({section.name, 7});
        averageColumns.append({section.name, 7});
    }
    Ui::SetupReportList(exams, examColumns, Qt::AlignLeft);
    Ui::SetupReportList(averages, averageColumns, Qt::AlignLeft);
    Ui::SetupReportList(Ui::Control<QTableWidget>(this, IdMissed),
                        {{"名 次", 6}, {"题 号", 8}, {"做错人数", 10}, {"考过人数", 10}},
                        Qt::AlignLeft);

    auto* note = Ui::Control<QLabel>(this, IdNote);
    if (!m_settings.Configured()) {
        note->setText(Ui::LoadString(Ui::Str::ClassNotConfigured)
                          .arg(QDir::toNativeSeparators(ClassServer::UserFile())));
        return false;
    }
    m_book = ClassBook::Read(m_settings);
    note->setText(ClassServerMessage(m_settings, m_book.outcome));
    if (m_book.outcome.status != ClassServer::Status::Done)
        return false;

    QList<QStringList> rows;
    for (const ClassBook::Entry& entry : m_book.entries) {
        QStringList row{Results::RowNumber(int(rows.size()) + 1),
                        entry.className,
                        entry.student,
                        entry.exam.paper,
                        entry.exam.time,
                        Points(entry.exam.total)};
        for (int s = 0; entry.exam.sections && s < Sections::Count; ++s)
            row << Points((*entry.exam.sections)[s].points);
        rows << row;
    }
    Ui::FillReportList(exams, rows, Qt::AlignLeft);

    rows.clear();
    auto* papers = Ui::Control<QComboBox>(this, IdPaper);
    for (const ClassBook::Average& average : ClassBook::Averages(m_book.entries)) {
        QStringList row{Results::RowNumber(int(rows.size()) + 1),
                        average.paper.isEmpty() ? QStringLiteral("全部试卷") : average.paper,
                        QString::number(average.exams), Points(average.total)};
        for (double points : average.sections)
            row << Points(points);
        rows << row;
        if (!average.paper.isEmpty())
            papers->addItem(average.paper);
    }
    Ui::FillReportList(averages, rows, Qt::AlignLeft);
    for (QTableWidget* list : {exams, averages})
        Ui::FitReportListToBox(list);
    return true;
}

void CClassBookDlg::OnSelchangePaper()
{
    const QString paper = Ui::Control<QComboBox>(this, IdPaper)->currentText();
    const ClassBook::MissedList missed = ClassBook::MostMissed(m_settings, paper);
    Ui::Control<QLabel>(this, IdNote)->setText(ClassServerMessage(m_settings, missed.outcome));
    QList<QStringList> rows;
    for (const ClassBook::Missed& question : missed.questions)
        rows << QStringList{Results::RowNumber(int(rows.size()) + 1), question.number,
                            QString::number(question.students), QString::number(missed.students)};
    Ui::FillReportList(Ui::Control<QTableWidget>(this, IdMissed), rows, Qt::AlignLeft);
}

void CClassBookDlg::OnExport()
{
    const QString path =
        m_chooseExportPath(QDir::home().filePath(QStringLiteral("班级成绩册.csv")));
    if (path.isEmpty())
        return;
    QString error;
    if (!Progress::SaveFile(path, ClassBook::Csv(m_book.entries), &error)) {
        Ui::Prompt(
            this,
            Ui::LoadString(Ui::Str::HistoryNotExported).arg(QDir::toNativeSeparators(path), error));
        return;
    }
    Ui::Prompt(this,
               Ui::LoadString(Ui::Str::ClassBookExported)
                   .arg(QString::number(m_book.entries.size()), QDir::toNativeSeparators(path)));
}
