#pragma once

#include "Progress.h"

#include <QDialog>

class QChart;
class QChartView;

// The student's progress on screen: the analysis of one exam by section, and
// the charts of the grade list.
class CGradeAnalysisDlg : public QDialog
{
    Q_OBJECT
public:
    // The analysis of exam `index` of the name's history.
    CGradeAnalysisDlg(const QString& name, const Progress::History& history, int index,
                      QWidget* parent = nullptr);

    bool OnInitDialog();

    QString m_strName;
    Progress::History m_history;
    int m_nExam = 0;
};

// Opens the analysis of the latest exam `name` sat on `paper`, modally; false
// when there is none (or it could not be read, which has been reported).
bool OpenGradeAnalysis(QWidget* parent, const QString& name, const QString& paper);

// After hand-in: when the exam was recorded, asks the student whether to see
// its analysis and opens it on yes.
void OfferGradeAnalysis(QWidget* parent, const QString& name, const QString& paper);

namespace ProgressCharts {

// The totals in the order the exams were sat: point n is exam n (from 1).
QChart* Totals(const Progress::History& history);
// The rate of each section, in percent, on the same points; exams that were
// not kept whole have none.
QChart* SectionRates(const Progress::History& history);
// One exam's section rates as bars, in percent.
QChart* ExamRates(const Sections::Scores& sections);

// A view of the chart, its own, named `name` (for tests to find it).
QChartView* View(QChart* chart, const char* name);

} // namespace ProgressCharts
