#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The automatic essay score. From the essay's counts, its text and the
// keywords of the paper's essay task, a score of at most 24.5 points in steps
// of 0.5 and a report in Chinese naming a grader; or, when an early check
// fails, a fixed verdict and its fixed score.
namespace EssayScorer {

// The counts are 64-bit, as the text analysis gives them; the ratios are
// worked out without overflow for any of them.
struct Inputs
{
    qint64 nWords = 0;
    qint64 nDistinct = 0;
    qint64 nKnown = 0;
    qint64 nMarks = 0;
    int endPenalty = 0;       // 0, or -2 without a final mark
    int keywordHits = 0;      // keyword pieces found in the essay
    std::int64_t seconds = 0; // the clock, seconds since 1970
};

struct Result
{
    double score = 0.0;
    QString report;
};

// The six graders; the report names entry 0 for an even structure draw and
// entry 3 for an odd one.
QString Grader(int entry);

// The number of keyword pieces found in the essay (an empty piece, or an
// empty list, is found in every text).
int KeywordHits(const QString& keywords, const QString& essay);

// x, the structure draw, from the clock: the C runtime's generator seeded
// with seconds * 100 (mod 2^32), one value r, x = floor((r - 10) * 4/32757) + 2.
int StructureDraw(std::int64_t seconds);

// The verdicts that need nothing from the database: too few words, too
// small a vocabulary. Nothing when the essay goes on to be scored.
std::optional<Result> EarlyVerdict(qint64 nWords, qint64 nDistinct);

Result Score(const Inputs& inputs);

} // namespace EssayScorer
