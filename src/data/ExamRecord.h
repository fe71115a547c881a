#pragma once

#include "ExamDb.h"
#include "Sections.h"

#include <QList>
#include <QString>

#include <optional>

// A handed-in exam kept whole in tables exam and exam_answer: who sat which
// paper when, the objective points and the essay, and every answer of the
// card as table answer held it at hand-in. It is written in the operation
// that writes the exam's grade row, so the two stand or fall together.
struct ExamRecord
{
    // One row of the answer card.
    struct Answer
    {
        QString number;               // 题号, as the card holds it ("01")
        QString answer;               // 回答
        QString key;                  // 答案
        std::optional<qint16> value;  // 分值
        std::optional<qint16> points; // 得分
    };

    // What the essay editor handed over.
    struct Essay
    {
        double score = 0.0;
        QString title;
        QString text;
        QString report;
    };

    QString paper;
    QString time;
    QString name;
    double objective = 0.0; // 客观题得分: the points of the answer card
    Essay essay;
    QList<Answer> answers;

    // The record of an exam on `paper`: its answer card read through `db`
    // (every row of the paper, in the database's order), the objective
    // points added up from it, and the given time, name and essay. (The start
    // of an exam clears every paper's points, so this is the sum the grade
    // row's total is made of.)
    static ExamRecord Build(ExamDb::Connection& db, const QString& paper, const QString& time,
                            const QString& name, const Essay& essay);

    // The card's points by section, with the essay.
    Sections::Scores Split() const;

    // Writes the record, its exam row (with its points by section) first and
    // then one row per answer, and returns the number the exam row was given.
    // Meant to run inside the write operation that records the grade: a
    // failing statement throws ExamDb::Error out of here, and the operation
    // rolls back everything it wrote, the grade row included.
    static qint64 Write(ExamDb::Connection& db, const ExamRecord& exam);
};

// Makes the tables of kept exams in a word.mdb made before they existed,
// keeping everything it holds; run once at start-up, in the program folder.
// A database that has them is only read. Without a database file or a driver
// it does nothing, and leaves the report to the first operation that needs
// them; a failed upgrade has been reported. True when the tables are there.
bool EnsureExamTables();
