#pragma once

#include <QString>

#include <optional>

// The answer card's rules: question numbers, and marking an answer against
// the key stored in table answer.
namespace Marking {

// True when every character is an ASCII digit; the empty text counts as all
// digits.
bool IsAllDigits(const QString& text);

// The number a text of digits stands for, if it fits in int.
std::optional<int> QuestionNumber(const QString& digits);

// The question number as column 题号 holds it: "0%d" from 0 to 9, else "%d".
QString QuestionNumberText(int number);

// The points an answer earns against a key: the points when the answer
// equals the key or, for a key with "/", one of its alternatives (any
// number of them); else 0. Comparison is exact: case and blanks count.
int Score(const QString& key, int points, const QString& answer);

enum class Outcome
{
    Marked,         // the answer and its score are stored
    NoSuchQuestion, // the paper has no question of that number: nothing stored
    Failed,         // a database error, reported: nothing stored
};

// Records the answer to question `number` of the paper, marks it against the
// key and records the score, in one write operation.
Outcome RecordAndMark(const QString& paper, const QString& number, const QString& answer);

} // namespace Marking
