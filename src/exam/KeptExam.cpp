#include "KeptExam.h"

#include "AppMessage.h"
#include "Catalogue.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cmath>

namespace KeptExam {

namespace {

// As content/db/schema.sql makes it for a new database.
constexpr Statement CreateTable{"running_exam", "CREATE TABLE IF NOT EXISTS running_exam ("
                                                "编号 INTEGER PRIMARY KEY CHECK (编号 = 1),"
                                                "试题名 TEXT NOT NULL,"
                                                "考生姓名 TEXT NOT NULL,"
                                                "考试时长 INTEGER NOT NULL,"
                                                "开始时间 TEXT NOT NULL,"
                                                "剩余分钟 INTEGER NOT NULL,"
                                                "听力已播放 INTEGER NOT NULL,"
                                                "作文进度 INTEGER NOT NULL,"
                                                "作文开始分钟 INTEGER NOT NULL,"
                                                "作文题目 TEXT,"
                                                "作文 TEXT,"
                                                "作文得分 REAL,"
                                                "作文评语 TEXT)"};

constexpr char TimeFormat[] = "yyyy-MM-dd HH:mm:ss";

bool HasTable(ExamDb::Connection& db)
{
    bool present = false;
    db.Query(Sql::HasRunningExamTable, {},
             [&](const ExamDb::Row& row) { present = row.Text("n").toInt() > 0; });
    return present;
}

// Whole numbers only: a text, a fraction or NULL is no count of minutes.
std::optional<int> Whole(const ExamDb::Row& row, const char* column)
{
    bool ok = false;
    const int value = row.Text(column).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The first column whose value cannot be, or nothing. `state` takes the
// values read so far.
std::optional<QString> Read(const ExamDb::Row& row, State& state)
{
    const auto bad = [](const char* column) { return QString::fromUtf8(column); };
    state.paper = row.Text("试题名");
    if (state.paper.isEmpty())
        return bad("试题名");
    state.name = row.Text("考生姓名");
    if (state.name.isEmpty())
        return bad("考生姓名");
    const std::optional<int> set = Whole(row, "考试时长");
    if (!set || *set <= 0)
        return bad("考试时长");
    state.minutesSet = *set;
    state.started = row.Text("开始时间");
    if (!QDateTime::fromString(state.started, QString::fromUtf8(TimeFormat)).isValid())
        return bad("开始时间");
    const std::optional<int> left = Whole(row, "剩余分钟");
    if (!left || *left < 0 || *left > *set)
        return bad("剩余分钟");
    state.minutesLeft = *left;
    const std::optional<int> played = Whole(row, "听力已播放");
    if (!played || (*played != 0 && *played != 1))
        return bad("听力已播放");
    state.listeningPlayed = *played == 1;
    const std::optional<int> stage = Whole(row, "作文进度");
    if (!stage || *stage < int(EssayStage::NotOpened) || *stage > int(EssayStage::Submitted))
        return bad("作文进度");
    state.essayStage = EssayStage(*stage);
    // The editor is first opened with the minutes left then, never fewer
    // than are left now.
    const std::optional<int> start = Whole(row, "作文开始分钟");
    const bool opened = state.essayStage != EssayStage::NotOpened;
    if (!start || (opened ? *start < *left || *start > *set : *start != 0))
        return bad("作文开始分钟");
    state.essayStartMinutes = *start;
    state.essayTitle = row.Text("作文题目");
    state.essayText = row.Text("作文");
    if (state.essayStage == EssayStage::Submitted) {
        const std::optional<double> score = row.Real("作文得分");
        if (!score || !std::isfinite(*score))
            return bad("作文得分");
        state.essayScore = *score;
        state.essayReport = row.Text("作文评语");
    }
    return std::nullopt;
}

qint64 MonotonicMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

} // namespace

std::optional<QString> Keep(const State& state)
{
    const QVariantList values{state.paper,
                              state.name,
                              state.minutesSet,
                              state.started,
                              state.minutesLeft,
                              state.listeningPlayed ? 1 : 0,
                              int(state.essayStage),
                              state.essayStartMinutes,
                              state.essayTitle,
                              state.essayText,
                              state.essayStage == EssayStage::Submitted
                                  ? QVariant(state.essayScore)
                                  : QVariant(QMetaType::fromType<double>()),
                              state.essayReport};
    // The error comes back to the caller instead of being shown here: a
    // failing draft must not put a message in front of every tenth second.
    std::optional<QString> error;
    AppMessage::Handler previous =
        AppMessage::SetHandler([&](const QString& text) { error = text; });
    const ExamDb::Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        if (db.Exec(Sql::KeepRunningExam, values) != 1)
            throw ExamDb::Error{QStringLiteral("the running exam was not kept")};
    });
    AppMessage::SetHandler(std::move(previous));
    if (result == ExamDb::Result::Done)
        return std::nullopt;
    return error.value_or(QString());
}

Loaded Load()
{
    Loaded loaded;
    int rows = 0;
    int questions = 0;
    std::optional<QString> damaged;
    const ExamDb::Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        if (!HasTable(db))
            return;
        db.Query(Sql::RunningExam, {}, [&](const ExamDb::Row& row) {
            ++rows;
            damaged = Read(row, loaded.state);
        });
        if (rows == 1 && !damaged)
            db.Query(Sql::PaperQuestionCount, {loaded.state.paper},
                     [&](const ExamDb::Row& row) { questions = row.Text("n").toInt(); });
    });
    if (result != ExamDb::Result::Done) {
        loaded.found = Found::Failed;
    } else if (rows == 0) {
        loaded.found = Found::Nothing;
    } else if (damaged) {
        loaded.found = Found::Damaged;
        loaded.detail = *damaged;
    } else if (Catalogue::PositionOf(loaded.state.paper) < 0 || questions == 0) {
        loaded.found = Found::PaperGone;
        loaded.detail = loaded.state.paper;
    } else {
        loaded.found = Found::Usable;
        return loaded;
    }
    loaded.state = State();
    return loaded;
}

bool Discard()
{
    return ExamDb::WriteKeyed([](ExamDb::Connection& db) { DiscardIn(db); }) ==
           ExamDb::Result::Done;
}

void DiscardIn(ExamDb::Connection& db)
{
    if (HasTable(db))
        db.Exec(Sql::EndRunningExam);
}

bool EnsureTable()
{
    if (!QFileInfo::exists(QString::fromUtf8(ExamDb::DatabaseFileName)) ||
        ExamDb::FindAccessDriver().isEmpty())
        return false;
    bool present = false;
    if (ExamDb::ReadKeyed([&](ExamDb::Connection& db) { present = HasTable(db); }) !=
        ExamDb::Result::Done)
        return false;
    if (present)
        return true;
    return ExamDb::WriteKeyed([](ExamDb::Connection& db) { db.Exec(CreateTable); }) ==
           ExamDb::Result::Done;
}

DraftThrottle::DraftThrottle() : m_clock(MonotonicMs) {}

qint64 DraftThrottle::Changed()
{
    m_pending = true;
    if (!m_lastKept)
        return 0;
    const qint64 since = m_clock() - *m_lastKept;
    return since >= PeriodMs ? 0 : PeriodMs - since;
}

void DraftThrottle::Kept()
{
    m_pending = false;
    m_lastKept = m_clock();
}

void DraftThrottle::Reset()
{
    m_pending = false;
    m_lastKept.reset();
}

} // namespace KeptExam
