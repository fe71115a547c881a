#include "Progress.h"

#include "Statements.h"

#include <QSaveFile>

#include <cmath>
#include <utility>

namespace Progress {

namespace {

// The section columns of Sql::ProgressOfName, in section order.
constexpr const char* SectionColumns[Sections::Count] = {
    "听力得分", "单项填空得分", "完形填空得分", "阅读理解得分", "任务型阅读得分", "作文得分"};

} // namespace

History Read(const QString& name)
{
    History history;
    history.result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::ProgressOfName, {name}, [&](const ExamDb::Row& row) {
            Exam exam{row.Text("试题名"), row.Text("考试时间"), row.Real("成绩"), {}};
            // A grade row without a kept exam joins none: its points are NULL.
            if (row.Real(SectionColumns[Sections::Essay])) {
                std::array<double, Sections::Count> points{};
                for (int s = 0; s < Sections::Count; ++s)
                    points[s] = row.Real(SectionColumns[s]).value_or(0.0);
                exam.sections = Sections::FromPoints(points);
            }
            history.exams.append(std::move(exam));
        });
    });
    return history;
}

int LatestOf(const History& history, const QString& paper)
{
    for (qsizetype i = history.exams.size() - 1; i >= 0; --i) {
        if (history.exams[i].paper == paper)
            return int(i);
    }
    return -1;
}

QList<Standing> Standings(const History& history, int index)
{
    const Exam& exam = history.exams.at(index);
    const auto average = [&](auto value) -> std::optional<double> {
        double sum = 0.0;
        int count = 0;
        for (int i = 0; i < index; ++i) {
            if (const std::optional<double> v = value(history.exams[i])) {
                sum += *v;
                ++count;
            }
        }
        return count ? std::optional<double>(sum / count) : std::nullopt;
    };
    QList<Standing> standings;
    for (int s = 0; exam.sections && s < Sections::Count; ++s) {
        const Sections::Score& score = (*exam.sections)[s];
        standings.append({score.points, score.full, score.rate,
                          average([s](const Exam& e) -> std::optional<double> {
                              if (!e.sections)
                                  return std::nullopt;
                              return (*e.sections)[s].points;
                          })});
    }
    const double total = exam.total.value_or(0.0);
    standings.append({total, Sections::FullMarks, total / Sections::FullMarks,
                      average([](const Exam& e) { return e.total; })});
    return standings;
}

namespace {

QByteArray CsvField(const QString& text)
{
    QString field = text;
    if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
        field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'))) {
        field.replace(QLatin1Char('"'), QLatin1String("\"\""));
        field = QLatin1Char('"') + field + QLatin1Char('"');
    }
    return field.toUtf8();
}

} // namespace

QByteArray Csv(const History& history)
{
    QStringList header{QStringLiteral("试题名"), QStringLiteral("考试时间"),
                       QStringLiteral("总分")};
    for (const Sections::Section& section : Sections::Table)
        header << QString::fromUtf8(section.name);
    QList<QStringList> lines{header};
    for (const Exam& exam : history.exams) {
        QStringList line{exam.paper, exam.time,
                         exam.total ? QString::number(*exam.total) : QString()};
        for (int s = 0; s < Sections::Count; ++s)
            line << (exam.sections ? QString::number((*exam.sections)[s].points) : QString());
        lines << line;
    }
    return CsvText(lines);
}

QByteArray CsvText(const QList<QStringList>& lines)
{
    QByteArray out("\xEF\xBB\xBF");
    for (const QStringList& line : lines) {
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (i)
                out += ',';
            out += CsvField(line[i]);
        }
        out += "\r\n";
    }
    return out;
}

bool SaveFile(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString PointsText(double points)
{
    const double tenths = std::round(points * 10);
    if (std::fmod(tenths, 10) == 0)
        return QString::number(qint64(tenths / 10));
    return QString::number(tenths / 10, 'f', 1);
}

} // namespace Progress
