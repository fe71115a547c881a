#pragma once

#include "ExamDb.h"
#include "Sections.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A student's progress: the history of a name in the order the exams were
// sat, each exam's standing against the ones before it, and the history as a
// table for a teacher. No windows here.
namespace Progress {

// One handed-in exam of a student: its grade row and, when the exam was kept
// whole, its sections.
struct Exam
{
    QString paper;
    QString time;
    std::optional<double> total; // 成绩 of the grade row
    std::optional<Sections::Scores> sections;
};

struct History
{
    ExamDb::Result result = ExamDb::Result::Done;
    QList<Exam> exams; // in the order they were sat
};

// The grade rows of a name, in time order, each with the kept exam written
// with it (same name, paper and time).
History Read(const QString& name);

// The position of the latest exam of `paper` in the history, or -1.
int LatestOf(const History& history, const QString& paper);

// A section's standing in one exam against the exams before it.
struct Standing
{
    double points = 0.0;
    int full = 0;
    double rate = 0.0;
    std::optional<double> earlier; // average points over the earlier exams that have it
};

// The sections of exam `index` (when it was kept whole), then its total, each
// with its average over the exams sat before it.
QList<Standing> Standings(const History& history, int index);

// The history as CSV for a spreadsheet: a header, then one line per exam with
// paper, time, total and the six section points (empty for an exam that was
// not kept whole); UTF-8 with a byte-order mark, CR LF line ends.
QByteArray Csv(const History& history);
// Lines of fields as CSV the same way.
QByteArray CsvText(const QList<QStringList>& lines);

// Writes `data` to `path` all at once: the file is replaced only when every
// byte was written. False, with the reason in `error`, when it could not be.
bool SaveFile(const QString& path, const QByteArray& data, QString* error);

// A number of points as the windows show it, to a tenth: whole numbers
// without a fraction, others with one decimal.
QString PointsText(double points);

} // namespace Progress
