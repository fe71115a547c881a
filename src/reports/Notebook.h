#pragma once

#include "ExamDb.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The mistakes notebook (错题本) of a student: every question the name got
// wrong in a handed-in exam, with the answers given, and the answers
// practised since. A question answered right on two different days, with no
// wrong answer after, is mastered; a wrong answer, in an exam or in practice,
// starts it over. Practice is kept in table practice alone: the exams and the
// grade history are never written. No windows here.
namespace Notebook {

// One exam in which the question was answered wrongly.
struct Miss
{
    QString time;   // 考试时间 of the exam
    QString answer; // 回答 as the card held it (" " for none)
};

// One answer given in practice.
struct Attempt
{
    QString time; // "yyyy-MM-dd HH:mm:ss"
    QString answer;
    bool right = false;
};

struct Entry
{
    QString paper;           // 试题名 as kept: the PaperName
    QString number;          // 题号 as the card holds it ("07")
    QString key;             // 答案 of the latest miss's card
    int section = -1;        // index into Sections::Table, -1 for none
    bool hasText = false;    // the database has the paper's questions
    QList<Miss> misses;      // newest first
    QList<Attempt> practice; // oldest first
};

enum class State
{
    Active,
    Mastered,
};

// Whether an answer to a question with that key is wrong: the answer card's
// rule (an alternative of the key is right, comparison is exact); a blank is
// wrong.
bool IsWrong(const QString& key, const QString& answer);

// The different days (yyyy-MM-dd) on which the question was answered right
// in practice since its last wrong answer, in an exam or in practice.
int RightDays(const Entry& entry);

// Mastered once RightDays reaches MasteredAfterDays.
inline constexpr int MasteredAfterDays = 2;
State StateOf(const Entry& entry);

struct Book
{
    ExamDb::Result result = ExamDb::Result::Done;
    int exams = 0;        // the name's kept exams
    QList<Entry> entries; // newest miss first
};

// The notebook of a name, read in one operation; a failure has been
// reported.
Book Read(const QString& name);

// What a student sees as a paper's name: its entry in the catalogue (so a
// mock paper stored as 51 shows as 01), or the name itself when the
// catalogue has no such paper.
QString ShownPaper(const QString& paper);

// The papers of the notebook, as the catalogue lists them (papers it does
// not list last, by name).
QStringList Papers(const Book& book);

enum class Order
{
    Newest,     // latest miss first
    MostMissed, // most misses first, then latest miss first
    ByPaper,    // as the catalogue lists the papers, then by number
};

struct Filter
{
    int section = -1; // -1 for every section
    QString paper;    // PaperName, empty for every paper
    State state = State::Active;
    Order order = Order::Newest;
};

// The positions in book.entries of the entries the filter lets through, in
// its order.
QList<int> Select(const Book& book, const Filter& filter);

// A question as the database holds it, with the text it is read with.
struct Question
{
    QString section;
    QString stem;
    QStringList options; // "A. ..." for each option it has
    QString key;
    QString explanation;
    QString materialKind; // 听力原文 or 短文; empty for none
    QString materialTitle;
    QStringList material; // a turn, a paragraph or a "| a | b |" row each
};

// The question's text; nothing when the database does not have it (or it
// could not be read, which has been reported).
std::optional<Question> ReadQuestion(const QString& paper, const QString& number);

// The outcome of answering a question of the notebook again.
struct Practised
{
    bool recorded = false; // false: a database error, reported; nothing changed
    bool right = false;
};

// Marks `answer` against the entry's key, records it for `name` at `now`
// and, once recorded, adds it to the entry.
Practised Practise(const QString& name, Entry& entry, const QString& answer, const QDateTime& now);

} // namespace Notebook
