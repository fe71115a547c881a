#pragma once

#include "ClassServer.h"
#include "Progress.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The class's grade book as the server holds it: a student's own history
// from every seat, and for the teacher every student's exams, the class
// averages and the questions most of the class missed. No windows here.
namespace ClassBook {

// The exams handed in under the settings' login with `name` typed for them,
// in the order they were sat (the server shows a student only their own).
struct ServerHistory
{
    ClassServer::Outcome outcome;
    Progress::History history;
};
ServerHistory ReadHistory(const ClassServer::Settings& settings, const QString& name);

// One exam of the class.
struct Entry
{
    QString login;
    QString className;
    QString student; // the name the student enrolled under
    Progress::Exam exam;
};

struct Book
{
    ClassServer::Outcome outcome;
    QList<Entry> entries; // by class, student and time
};
Book Read(const ClassServer::Settings& settings);

// The class average of a paper: the total and each section, over its exams.
struct Average
{
    QString paper; // empty: every paper together
    int exams = 0;
    double total = 0.0;
    std::array<double, Sections::Count> sections{};
};
// Every paper together first, then each paper in name order.
QList<Average> Averages(const QList<Entry>& entries);

// A question of a paper and how many students missed it (no points) at
// least once.
struct Missed
{
    QString number;
    int students = 0;
};
struct MissedList
{
    ClassServer::Outcome outcome;
    int students = 0;        // students who sat the paper
    QList<Missed> questions; // most missed first, then by number
};
MissedList MostMissed(const ClassServer::Settings& settings, const QString& paper);

// The book for a spreadsheet: class, student, paper, time, total and the six
// sections, one line per exam; UTF-8 with a byte-order mark, CR LF.
QByteArray Csv(const QList<Entry>& entries);

} // namespace ClassBook
