#include "Marking.h"

#include "ExamDb.h"

#include <limits>

bool Marking::IsAllDigits(const QString& text)
{
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

std::optional<int> Marking::QuestionNumber(const QString& digits)
{
    if (digits.isEmpty() || !IsAllDigits(digits))
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return static_cast<int>(value);
}

QString Marking::QuestionNumberText(int number)
{
    return number >= 0 && number <= 9 ? QStringLiteral("0%1").arg(number) : QString::number(number);
}

int Marking::Score(const QString& key, int points, const QString& answer)
{
    if (key.contains(QLatin1Char('/'))) {
        for (const QString& alternative : key.split(QLatin1Char('/'))) {
            if (alternative == answer)
                return points;
        }
        return 0;
    }
    return key == answer ? points : 0;
}

Marking::Outcome Marking::RecordAndMark(const QString& paper, const QString& number,
                                        const QString& answer)
{
    bool stored = false;
    const ExamDb::Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        // No row for the number: the paper has no such question, and there
        // is nothing to mark.
        stored = db.Exec(Sql::StoreAnswer, {answer, number, paper}) > 0;
        if (!stored)
            return;
        QString key;
        int points = 0;
        bool first = true;
        db.Query(Sql::FetchKey, {number, paper}, [&](const ExamDb::Row& row) {
            if (!first)
                return;
            first = false;
            key = row.Text("答案");
            points = row.Short("分值").value_or(0);
        });
        db.Exec(Sql::StoreScore, {Score(key, points, answer), number, paper});
    });
    if (result != ExamDb::Result::Done)
        return Outcome::Failed;
    return stored ? Outcome::Marked : Outcome::NoSuchQuestion;
}
