#pragma once

#include <QList>
#include <QString>

#include <array>

// The sections of the paper, and an exam's points split into them.
namespace Sections {

// A section and its full marks; its questions are first to last. The essay
// has no questions: its points are its score.
struct Section
{
    const char* name;
    int first;
    int last;
    int full;
};

inline constexpr int Count = 6;
inline constexpr int Essay = Count - 1;
inline constexpr std::array<Section, Count> Table{{{"听力", 1, 20, 20},
                                                   {"单项填空", 21, 35, 15},
                                                   {"完形填空", 36, 55, 20},
                                                   {"阅读理解", 56, 70, 30},
                                                   {"任务型阅读", 71, 80, 10},
                                                   {"书面表达", 0, 0, 25}}};
// The full marks of the whole paper.
inline constexpr int FullMarks = 120;

// The points a question earned: 题号 as the card holds it, and 得分.
struct QuestionPoints
{
    QString number;
    double points = 0.0;
};

struct Score
{
    double points = 0.0;
    int full = 0;
    double rate = 0.0; // points / full
};
using Scores = std::array<Score, Count>;

// Each section's points with its full marks and rate.
Scores FromPoints(const std::array<double, Count>& points);

// The sections of one exam's answer card: each question's points go to the
// section its number falls in (a number in no section counts nowhere), the
// essay's score is the last section's points.
Scores Split(const QList<QuestionPoints>& answers, double essay);

} // namespace Sections
