#pragma once

#include "ClassServer.h"
#include "ExamRecord.h"

#include <QString>

// Hand-in's record: the points of the answer card added up and the grade row
// written, together or not at all.
namespace HandIn {

enum class Status
{
    Recorded, // the grade row is written
    NoScores, // table answer is empty: nothing to add up, nothing written
    NoDriver, // reported; nothing written
    Failed,   // a database error, reported; nothing written
};

struct Outcome
{
    Status status = Status::Failed;
    double objective = 0.0; // the answer card's points, when recorded
};

// In one write transaction: adds up 得分 over every row of table answer (the
// exam start cleared every paper's), appends the grade row of the paper, the
// hand-in time and the student's name with the total, the points plus the
// essay's score, keeps the whole exam (its answer card and essay) and ends the
// running exam kept for the next start. With a class server configured, the
// exam's class copy is queued in the outbox in the same transaction; it is
// sent afterwards (ClassServer::Flush), never inside it.
Outcome Record(const QString& paper, const QString& time, const QString& name,
               const ExamRecord::Essay& essay, const ClassServer::Settings& classServer = {});

// The message that tells the student the score of a recorded hand-in.
QString ScoreMessage(double objective, double essayScore);

} // namespace HandIn
