#pragma once

#include "ExamDb.h"

#include <QList>
#include <QStringList>

// The rows of the results windows, read from the database: what each list
// shows, cell by cell, before any window is involved.
namespace Results {

struct Rows
{
    ExamDb::Result result = ExamDb::Result::Done;
    QList<QStringList> rows;
};

// The grade list's row number: three digits below 1000 ("001"), else as it is.
QString RowNumber(int n);

// The grade history of a name: number, paper, time and score (the score
// column read as a whole number, empty when it holds none), in the
// database's order.
Rows GradeHistory(const QString& name);

// The answers recorded for a paper, three to a row: number and answer.
Rows AnswerStatus(const QString& paper);

// The wrong answers of a paper, two to a row: number, answer and key.
Rows WrongAnswers(const QString& paper);

} // namespace Results
