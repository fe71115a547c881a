#include "Sections.h"

namespace Sections {

Scores FromPoints(const std::array<double, Count>& points)
{
    Scores scores;
    for (int s = 0; s < Count; ++s)
        scores[s] = {points[s], Table[s].full, points[s] / Table[s].full};
    return scores;
}

Scores Split(const QList<QuestionPoints>& answers, double essay)
{
    std::array<double, Count> points{};
    for (const QuestionPoints& answer : answers) {
        bool ok = false;
        const int number = answer.number.toInt(&ok);
        for (int s = 0; ok && s < Essay; ++s) {
            if (number >= Table[s].first && number <= Table[s].last) {
                points[s] += answer.points;
                break;
            }
        }
    }
    points[Essay] = essay;
    return FromPoints(points);
}

} // namespace Sections
