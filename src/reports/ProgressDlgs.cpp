#include "ProgressDlgs.h"

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "Exchange.h"
#include "MessageBox.h"
#include "ReportList.h"
#include "StringTable.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QGroupBox>
#include <QLineSeries>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {

constexpr int AnalysisTemplate = Ids::GradeAnalysis::Template;
using namespace Ids::GradeAnalysis;

QString Percent(double rate)
{
    return QString::number(qRound(rate * 100)) + QLatin1Char('%');
}

QString Change(double change)
{
    const QString text = Progress::PointsText(change);
    return change > 0 && text != QLatin1String("0") ? QLatin1Char('+') + text : text;
}

QValueAxis* Axis(QChart* chart, Qt::Alignment side, const QString& title, double min, double max)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setRange(min, max);
    axis->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(axis, side);
    return axis;
}

QChart* NewChart(bool legend)
{
    auto* chart = new QChart;
    chart->legend()->setVisible(legend);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(2, 2, 2, 2));
    return chart;
}

// A line through the exams' points, each with the text its tooltip shows:
// the exam's paper and time and the value.
QLineSeries* Line(const QString& name, const QList<QPointF>& points, const QStringList& exams)
{
    auto* line = new QLineSeries;
    line->setName(name);
    line->replace(points);
    line->setPointsVisible(points.size() <= 40);
    QObject::connect(line, &QLineSeries::hovered, line,
                     [line, points, exams](const QPointF& at, bool entered) {
                         if (!entered || points.isEmpty()) {
                             QToolTip::hideText();
                             return;
                         }
                         // The point nearest the pointer along the line.
                         const auto next =
                             std::lower_bound(points.begin(), points.end(), at.x(),
                                              [](const QPointF& p, double x) { return p.x() < x; });
                         auto nearest = next == points.end() ? next - 1 : next;
                         if (next != points.begin() && next != points.end() &&
                             at.x() - (next - 1)->x() < next->x() - at.x())
                             nearest = next - 1;
                         QToolTip::showText(QCursor::pos(), exams.value(qRound(nearest->x()) - 1) +
                                                                QLatin1Char('\n') + line->name() +
                                                                QStringLiteral("：") +
                                                                Progress::PointsText(nearest->y()));
                     });
    return line;
}

// The exams in order along the horizontal axis, and their descriptions.
QStringList ExamAxis(QChart* chart, const Progress::History& history)
{
    const int count = int(history.exams.size());
    QValueAxis* order =
        Axis(chart, Qt::AlignBottom, QStringLiteral("考试次序"), 1, std::max(count, 2));
    if (count <= 10)
        order->setTickCount(std::max(count, 2));
    else
        order->applyNiceNumbers();
    QStringList exams;
    for (const Progress::Exam& exam : history.exams)
        exams << exam.paper + QLatin1Char('\n') + exam.time;
    return exams;
}

// Adds the lines to the chart on the exams' axis and the value axis.
void AddLines(QChart* chart, const QList<QLineSeries*>& lines, QValueAxis* values)
{
    QAbstractAxis* order = chart->axes(Qt::Horizontal).value(0);
    for (QLineSeries* line : lines) {
        chart->addSeries(line);
        line->attachAxis(order);
        line->attachAxis(values);
    }
}

} // namespace

namespace ProgressCharts {

QChart* Totals(const Progress::History& history)
{
    QChart* chart = NewChart(false);
    const QStringList exams = ExamAxis(chart, history);
    QList<QPointF> points;
    for (qsizetype n = 0; n < history.exams.size(); ++n) {
        if (const std::optional<double> total = history.exams[n].total)
            points.append(QPointF(double(n + 1), *total));
    }
    AddLines(chart, {Line(QStringLiteral("总分"), points, exams)},
             Axis(chart, Qt::AlignLeft, QStringLiteral("总分"), 0, Sections::FullMarks));
    return chart;
}

QChart* SectionRates(const Progress::History& history)
{
    QChart* chart = NewChart(true);
    const QStringList exams = ExamAxis(chart, history);
    QList<QLineSeries*> lines;
    for (int s = 0; s < Sections::Count; ++s) {
        QList<QPointF> points;
        for (qsizetype n = 0; n < history.exams.size(); ++n) {
            if (const auto& sections = history.exams[n].sections)
                points.append(QPointF(double(n + 1), (*sections)[s].rate * 100));
        }
        lines << Line(QString::fromUtf8(Sections::Table[s].name), points, exams);
    }
    AddLines(chart, lines, Axis(chart, Qt::AlignLeft, QStringLiteral("得分率（%）"), 0, 100));
    return chart;
}

QChart* ExamRates(const Sections::Scores& sections)
{
    QChart* chart = NewChart(false);
    auto* set = new QBarSet(QStringLiteral("得分率"));
    QStringList names;
    for (int s = 0; s < Sections::Count; ++s) {
        *set << sections[s].rate * 100;
        names << QString::fromUtf8(Sections::Table[s].name);
    }
    auto* bars = new QBarSeries;
    bars->append(set);
    bars->setLabelsVisible(true);
    bars->setLabelsFormat(QStringLiteral("@value%"));
    bars->setLabelsPrecision(3);
    chart->addSeries(bars);
    auto* categories = new QBarCategoryAxis;
    categories->append(names);
    chart->addAxis(categories, Qt::AlignBottom);
    bars->attachAxis(categories);
    bars->attachAxis(Axis(chart, Qt::AlignLeft, QStringLiteral("得分率（%）"), 0, 100));
    return chart;
}

QChartView* View(QChart* chart, const char* name)
{
    auto* view = new QChartView(chart);
    view->setObjectName(QLatin1String(name));
    // Smooth edges, but not for lines of hundreds of points: there they are
    // a pixel apart, smoothing shows nothing and costs most of the drawing.
    qsizetype points = 0;
    for (QAbstractSeries* series : chart->series()) {
        if (const auto* line = qobject_cast<QXYSeries*>(series))
            points = std::max(points, qsizetype(line->count()));
    }
    view->setRenderHint(QPainter::Antialiasing, points <= 100);
    return view;
}

} // namespace ProgressCharts

CGradeAnalysisDlg::CGradeAnalysisDlg(const QString& name, const Progress::History& history,
                                     int index, QWidget* parent)
    : QDialog(parent), m_strName(name), m_history(history), m_nExam(index)
{
    Ui::ApplyTemplate(this, AnalysisTemplate);
    OnInitDialog();
}

bool CGradeAnalysisDlg::OnInitDialog()
{
    const Progress::Exam& exam = m_history.exams.at(m_nExam);
    QString title = m_strName + QStringLiteral("同学 ") + exam.paper + QStringLiteral(" 成绩分析");
    QString note = QStringLiteral("考试时间：") + exam.time;
    if (!exam.sections)
        note += QLatin1Char('\n') + Ui::LoadString(Ui::Str::AnalysisWithoutSections);
    Ui::ExchangeText(false, Ui::FindControl(this, IdTitle), title);
    Ui::ExchangeText(false, Ui::FindControl(this, IdNote), note);

    auto* list = Ui::Control<QTableWidget>(this, IdList);
    Ui::SetupReportList(
        list,
        {{"部 分", 11}, {"得 分", 7}, {"满 分", 6}, {"得分率", 7}, {"以往平均", 9}, {"变 化", 7}},
        Qt::AlignHCenter);
    const QList<Progress::Standing> standings = Progress::Standings(m_history, m_nExam);
    list->setRowCount(int(standings.size()));
    for (int r = 0; r < standings.size(); ++r) {
        const Progress::Standing& row = standings[r];
        const bool total = r == standings.size() - 1;
        const QStringList cells{
            total ? QStringLiteral("总 分") : QString::fromUtf8(Sections::Table[r].name),
            Progress::PointsText(row.points),
            QString::number(row.full),
            Percent(row.rate),
            row.earlier ? Progress::PointsText(*row.earlier) : QStringLiteral("—"),
            row.earlier ? Change(row.points - *row.earlier) : QStringLiteral("—")};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignCenter);
            list->setItem(r, c, item);
        }
    }

    auto* rates = Ui::Control<QGroupBox>(this, IdRates);
    if (exam.sections)
        (new QVBoxLayout(rates))
            ->addWidget(ProgressCharts::View(ProgressCharts::ExamRates(*exam.sections), "rates"));
    else
        rates->hide();
    return true;
}

namespace {
// Opens the analysis of the latest exam `name` sat on `paper`, after asking
// the student when `ask`; false when there is no such exam.
bool OpenLatest(QWidget* parent, const QString& name, const QString& paper, bool ask)
{
    const Progress::History history = Progress::Read(name);
    const int latest = Progress::LatestOf(history, paper);
    if (latest < 0)
        return false;
    if (ask && !Ui::Ask(parent, Ui::LoadString(Ui::Str::OfferAnalysis)))
        return true;
    CGradeAnalysisDlg dialog(name, history, latest, parent);
    dialog.exec();
    return true;
}
} // namespace

bool OpenGradeAnalysis(QWidget* parent, const QString& name, const QString& paper)
{
    return OpenLatest(parent, name, paper, false);
}

void OfferGradeAnalysis(QWidget* parent, const QString& name, const QString& paper)
{
    OpenLatest(parent, name, paper, true);
}
