#include "Notebook.h"

#include "Catalogue.h"
#include "Marking.h"
#include "Sections.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace Notebook {

namespace {

constexpr char TimeFormat[] = "yyyy-MM-dd HH:mm:ss";

// Which of the notebook's tables the file has: a file made before them has
// none, and its kept exams are still read.
constexpr Statement NotebookTables{"sqlite_master",
                                   "SELECT name FROM sqlite_master WHERE type='table' "
                                   "AND name IN ('question','passage','practice')"};
// Every answer of a name's kept exams, newest exam first: 考生姓名.
constexpr Statement KeptAnswers{
    "exam_answer", "SELECT e.编号,e.试题名,e.考试时间,a.题号,a.回答,a.答案 FROM exam e "
                   "JOIN exam_answer a ON a.考试编号=e.编号 WHERE e.考生姓名=? "
                   "ORDER BY e.考试时间 DESC,e.编号 DESC,a.题号"};
constexpr Statement PapersWithQuestions{"question", "SELECT DISTINCT 卷名 FROM question"};
// A name's practice in the order it was given: 考生姓名.
constexpr Statement PracticeOfName{"practice", "SELECT 卷名,题号,练习时间,回答,正确 FROM practice "
                                               "WHERE 考生姓名=? ORDER BY 练习时间,rowid"};
// One question and its text: 卷名, 题号; 卷名, 材料.
constexpr Statement QuestionOf{"question",
                               "SELECT 部分,题干,选项A,选项B,选项C,选项D,答案,解析,材料 "
                               "FROM question WHERE 卷名=? AND 题号=?"};
constexpr Statement MaterialOf{"passage", "SELECT 种类,标题,文本 FROM passage "
                                          "WHERE 卷名=? AND 材料=? ORDER BY 行"};
// As content/db/schema.sql makes it, for a file made before it existed.
constexpr Statement CreatePractice{"practice", "CREATE TABLE IF NOT EXISTS practice ("
                                               "考生姓名 TEXT NOT NULL,"
                                               "卷名 TEXT NOT NULL,"
                                               "题号 TEXT NOT NULL,"
                                               "练习时间 TEXT NOT NULL,"
                                               "回答 TEXT NOT NULL,"
                                               "正确 INTEGER NOT NULL)"};
constexpr Statement CreatePracticeIndex{
    "practice", "CREATE INDEX IF NOT EXISTS practice_by_name ON practice (考生姓名)"};
// 考生姓名, 卷名, 题号, 练习时间, 回答, 正确.
constexpr Statement InsertPractice{
    "practice", "INSERT INTO practice(考生姓名,卷名,题号,练习时间,回答,正确) VALUES (?,?,?,?,?,?)"};

QString EntryKey(const QString& paper, const QString& number)
{
    return paper + QLatin1Char('\n') + number;
}

int SectionOfNumber(const QString& number)
{
    const std::optional<int> n = Marking::QuestionNumber(number);
    for (int s = 0; n && s < Sections::Essay; ++s) {
        if (*n >= Sections::Table[s].first && *n <= Sections::Table[s].last)
            return s;
    }
    return -1;
}

// The catalogue's position of each PaperName.
const QHash<QString, int>& CataloguePositions()
{
    static const QHash<QString, int> positions = [] {
        QHash<QString, int> map;
        for (int i = 0; i < Catalogue::PaperCount; ++i)
            map.insert(PaperNameFromPath(Catalogue::DocPath(i)), i);
        return map;
    }();
    return positions;
}

} // namespace

bool IsWrong(const QString& key, const QString& answer)
{
    return Marking::Score(key, 1, answer) == 0;
}

int RightDays(const Entry& entry)
{
    const QString since = entry.misses.isEmpty() ? QString() : entry.misses.front().time;
    QSet<QString> days;
    for (const Attempt& attempt : entry.practice) {
        if (attempt.time < since)
            continue; // before a later exam got it wrong again
        if (!attempt.right)
            days.clear();
        else
            days.insert(attempt.time.left(10));
    }
    return int(days.size());
}

State StateOf(const Entry& entry)
{
    return RightDays(entry) >= MasteredAfterDays ? State::Mastered : State::Active;
}

Book Read(const QString& name)
{
    Book book;
    QHash<QString, int> positions;
    book.result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        QSet<QString> tables;
        db.Query(NotebookTables, {},
                 [&](const ExamDb::Row& row) { tables.insert(row.Text("name")); });
        QSet<QString> withText;
        if (tables.contains(QStringLiteral("question")))
            db.Query(PapersWithQuestions, {},
                     [&](const ExamDb::Row& row) { withText.insert(row.Text("卷名")); });
        QSet<QString> exams;
        db.Query(KeptAnswers, {name}, [&](const ExamDb::Row& row) {
            exams.insert(row.Text("编号"));
            const QString key = row.Text("答案");
            const QString answer = row.Text("回答");
            if (!IsWrong(key, answer))
                return;
            const QString paper = row.Text("试题名");
            const QString number = row.Text("题号");
            const QString id = EntryKey(paper, number);
            auto found = positions.constFind(id);
            if (found == positions.cend()) {
                found = positions.insert(id, int(book.entries.size()));
                book.entries.append({paper,
                                     number,
                                     key,
                                     SectionOfNumber(number),
                                     withText.contains(paper),
                                     {},
                                     {}});
            }
            book.entries[*found].misses.append({row.Text("考试时间"), answer});
        });
        book.exams = int(exams.size());
        if (!tables.contains(QStringLiteral("practice")))
            return;
        db.Query(PracticeOfName, {name}, [&](const ExamDb::Row& row) {
            const auto found = positions.constFind(EntryKey(row.Text("卷名"), row.Text("题号")));
            if (found != positions.cend())
                book.entries[*found].practice.append({row.Text("练习时间"), row.Text("回答"),
                                                      row.Text("正确") == QLatin1String("1")});
        });
    });
    return book;
}

QString ShownPaper(const QString& paper)
{
    const auto found = CataloguePositions().constFind(paper);
    return found == CataloguePositions().cend() ? paper : Catalogue::ListEntry(*found);
}

QStringList Papers(const Book& book)
{
    QStringList papers;
    for (const Entry& entry : book.entries) {
        if (!papers.contains(entry.paper))
            papers << entry.paper;
    }
    const auto position = [](const QString& paper) {
        return CataloguePositions().value(paper, Catalogue::PaperCount);
    };
    std::sort(papers.begin(), papers.end(), [&](const QString& a, const QString& b) {
        return position(a) != position(b) ? position(a) < position(b) : a < b;
    });
    return papers;
}

QList<int> Select(const Book& book, const Filter& filter)
{
    QList<int> chosen;
    for (int i = 0; i < book.entries.size(); ++i) {
        const Entry& entry = book.entries[i];
        if ((filter.section < 0 || entry.section == filter.section) &&
            (filter.paper.isEmpty() || entry.paper == filter.paper) &&
            StateOf(entry) == filter.state)
            chosen.append(i);
    }
    const auto latest = [&](int i) { return book.entries[i].misses.front().time; };
    const auto position = [&](int i) {
        return CataloguePositions().value(book.entries[i].paper, Catalogue::PaperCount);
    };
    switch (filter.order) {
    case Order::Newest:
        std::stable_sort(chosen.begin(), chosen.end(),
                         [&](int a, int b) { return latest(a) > latest(b); });
        break;
    case Order::MostMissed:
        std::stable_sort(chosen.begin(), chosen.end(), [&](int a, int b) {
            const qsizetype na = book.entries[a].misses.size();
            const qsizetype nb = book.entries[b].misses.size();
            return na != nb ? na > nb : latest(a) > latest(b);
        });
        break;
    case Order::ByPaper:
        std::stable_sort(chosen.begin(), chosen.end(), [&](int a, int b) {
            const Entry& ea = book.entries[a];
            const Entry& eb = book.entries[b];
            if (position(a) != position(b))
                return position(a) < position(b);
            if (ea.paper != eb.paper)
                return ea.paper < eb.paper;
            return Marking::QuestionNumber(ea.number) < Marking::QuestionNumber(eb.number);
        });
        break;
    }
    return chosen;
}

std::optional<Question> ReadQuestion(const QString& paper, const QString& number)
{
    std::optional<Question> question;
    ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        bool tables = false;
        db.Query(NotebookTables, {}, [&](const ExamDb::Row& row) {
            tables = tables || row.Text("name") == QLatin1String("question");
        });
        if (!tables)
            return;
        int material = 0;
        db.Query(QuestionOf, {paper, number}, [&](const ExamDb::Row& row) {
            Question q;
            q.section = row.Text("部分");
            q.stem = row.Text("题干");
            for (const char* column : {"选项A", "选项B", "选项C", "选项D"}) {
                const QString option = row.Text(column);
                if (!option.isEmpty())
                    q.options << QString::fromUtf8(column).right(1) + QStringLiteral(". ") + option;
            }
            q.key = row.Text("答案");
            q.explanation = row.Text("解析");
            material = row.Text("材料").toInt();
            question = q;
        });
        if (!question || material <= 0)
            return;
        db.Query(MaterialOf, {paper, material}, [&](const ExamDb::Row& row) {
            question->materialKind = row.Text("种类");
            question->materialTitle = row.Text("标题");
            question->material << row.Text("文本");
        });
    });
    return question;
}

Practised Practise(const QString& name, Entry& entry, const QString& answer, const QDateTime& now)
{
    Practised outcome;
    outcome.right = !IsWrong(entry.key, answer);
    const QString time = now.toString(QLatin1String(TimeFormat));
    const ExamDb::Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        db.Exec(CreatePractice);
        db.Exec(CreatePracticeIndex);
        // A trigger may drop a row without an error: that is no record either.
        if (db.Exec(InsertPractice,
                    {name, entry.paper, entry.number, time, answer, outcome.right ? 1 : 0}) != 1)
            throw ExamDb::Error{QStringLiteral("the answer was not kept")};
    });
    outcome.recorded = result == ExamDb::Result::Done;
    if (outcome.recorded)
        entry.practice.append({time, answer, outcome.right});
    return outcome;
}

} // namespace Notebook
