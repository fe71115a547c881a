#pragma once

#include "ExamDb.h"

#include <QString>

#include <functional>
#include <optional>

// The exam that is running, kept in table running_exam of word.mdb so that
// the next start can take it up again after the program ended without a
// hand-in (a crash, a power cut, a logout). The answers need no keeping:
// table answer holds them from the moment they are marked. The table holds
// one row at most; a new exam replaces it, a hand-in removes it.
namespace KeptExam {

// How far the essay has come.
enum class EssayStage
{
    NotOpened = 0, // the editor has not been opened in this exam
    Draft = 1,     // opened; the draft comes back at the next opening
    Submitted = 2, // submitted and scored
};

struct State
{
    QString paper; // the PaperName
    QString name;  // the student
    int minutesSet = 0;
    QString started; // "yyyy-MM-dd HH:mm:ss"
    int minutesLeft = 0;
    bool listeningPlayed = false;
    EssayStage essayStage = EssayStage::NotOpened;
    int essayStartMinutes = 0; // minutes left at the editor's first opening
    QString essayTitle;
    QString essayText;
    double essayScore = 0.0; // what the exam counts, once submitted
    QString essayReport;

    bool operator==(const State&) const = default;
};

// Writes `state` over whatever was kept. The error of a failed write is
// returned, not shown: the caller decides whether the student hears of it.
std::optional<QString> Keep(const State& state);

enum class Found
{
    Nothing,   // no exam kept (or no table to keep one in)
    Usable,    // `state` holds it
    PaperGone, // its paper is not in the catalogue or the database
    Damaged,   // a value that cannot be: `detail` names the column
    Failed,    // the database could not be read (reported)
};

struct Loaded
{
    Found found = Found::Nothing;
    State state;
    QString detail;
};

// Reads the kept exam and checks every value of it before anything uses it.
Loaded Load();

// Ends the kept exam, if there is one. Failures are reported.
bool Discard();

// The same inside an operation that has more to write (hand-in): nothing
// when the table is not there.
void DiscardIn(ExamDb::Connection& db);

// Makes the table in a word.mdb made before exams were kept; as
// EnsureExamTables, run once at start-up.
bool EnsureTable();

// When the essay draft is due to be kept: at once on the first change, then
// at most once every PeriodMs; a change inside the period waits for its end.
// The clock gives milliseconds from any fixed point.
class DraftThrottle
{
public:
    static constexpr qint64 PeriodMs = 10000;
    using Clock = std::function<qint64()>;

    DraftThrottle();

    void SetClock(Clock clock) { m_clock = std::move(clock); }
    // The draft changed: 0 when it is due now, else the milliseconds until
    // it is.
    qint64 Changed();
    bool Pending() const { return m_pending; }
    // The draft has been kept (or need not be any longer).
    void Kept();
    // A new exam: the next change is kept at once.
    void Reset();

private:
    Clock m_clock;
    std::optional<qint64> m_lastKept;
    bool m_pending = false;
};

} // namespace KeptExam
