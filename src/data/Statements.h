#pragma once

// Every statement the program runs, with the table it touches. Values are
// never pasted into the text: each '?' is a bound parameter, in order.
struct Statement
{
    const char* table;
    const char* text;
};

namespace Sql {

// Answers given so far to one paper: 卷名.
inline constexpr Statement ListAnswers{"answer", "SELECT 题号,回答 FROM answer WHERE 卷名=?;"};
// Questions of one paper answered wrongly or not at all: 卷名.
inline constexpr Statement ListWrongAnswers{
    "answer", "SELECT 题号,回答,答案 FROM answer WHERE 得分=0 AND 卷名=?;"};
// Store the student's answer to one question: 回答, 题号, 卷名.
inline constexpr Statement StoreAnswer{"answer",
                                       "UPDATE answer SET 回答=? WHERE 题号=? AND 卷名=?;"};
// Key and points of one question: 题号, 卷名.
inline constexpr Statement FetchKey{"answer",
                                    "Select 答案,分值 From answer WHERE 题号=? AND 卷名=?;"};
// Points earned for one question: 得分, 题号, 卷名.
inline constexpr Statement StoreScore{"answer",
                                      "UPDATE answer SET 得分=? WHERE 题号=? AND 卷名=?;"};
// Points earned, every row, added up at hand-in.
inline constexpr Statement SumScores{"answer", "Select 得分 From answer;"};
// Clear every answer and score of every paper at exam start.
inline constexpr Statement ResetAnswers{"answer", "UPDATE answer SET 回答=' ',得分=0;"};
// Record a handed-in exam: 试题名, 考试时间, 考生姓名, 成绩.
inline constexpr Statement InsertGrade{
    "grades", "INSERT INTO grades(试题名,考试时间,考生姓名,成绩) VALUES (?,?,?,?)"};
// Grade history of one student: 考生姓名.
inline constexpr Statement GradeHistory{"grades", "SELECT * FROM grades WHERE 考生姓名=?;"};
// Is this word in the word list: 单词.
inline constexpr Statement FindWord{"word", "SELECT * FROM word WHERE 单词=?;"};
// Keyword list of a paper's essay task (only the first row is used): 卷名.
inline constexpr Statement EssayKeywords{"write", "Select 关键词 From write WHERE 卷名=?;"};

// The paper's answer card as it stands at hand-in: 卷名.
inline constexpr Statement PaperAnswers{"answer",
                                        "SELECT 题号,回答,答案,分值,得分 FROM answer WHERE 卷名=?"};
// Keep a handed-in exam: 试题名, 考试时间, 考生姓名, 客观题得分, 作文得分, the
// points of the five sections with questions, 作文题目, 作文, 作文评语.
inline constexpr Statement InsertExam{
    "exam", "INSERT INTO exam(试题名,考试时间,考生姓名,客观题得分,作文得分,听力得分,单项填空得分,"
            "完形填空得分,阅读理解得分,任务型阅读得分,作文题目,作文,作文评语) "
            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"};
// The number the exam just kept was given.
inline constexpr Statement KeptExamId{"exam", "SELECT last_insert_rowid() AS 编号"};
// One answer of a kept exam: 考试编号, 题号, 回答, 答案, 分值, 得分.
inline constexpr Statement InsertExamAnswer{
    "exam_answer",
    "INSERT INTO exam_answer(考试编号,题号,回答,答案,分值,得分) VALUES (?,?,?,?,?,?)"};
// A student's grade rows in the order they were sat, each with the points by
// section of the kept exam written with it (same name, paper and time), or
// NULLs: 考生姓名.
inline constexpr Statement ProgressOfName{
    "grades", "SELECT g.试题名,g.考试时间,g.成绩,e.听力得分,e.单项填空得分,e.完形填空得分,"
              "e.阅读理解得分,e.任务型阅读得分,e.作文得分 FROM grades g LEFT JOIN exam e "
              "ON e.考生姓名=g.考生姓名 AND e.考试时间=g.考试时间 AND e.试题名=g.试题名 "
              "WHERE g.考生姓名=? ORDER BY g.考试时间,g.rowid"};

// The exam running now, kept for the next start (one row, number 1): 试题名,
// 考生姓名, 考试时长, 开始时间, 剩余分钟, 听力已播放, 作文进度, 作文开始分钟,
// 作文题目, 作文, 作文得分, 作文评语.
inline constexpr Statement KeepRunningExam{
    "running_exam", "INSERT OR REPLACE INTO running_exam(编号,试题名,考生姓名,考试时长,开始时间,"
                    "剩余分钟,听力已播放,作文进度,作文开始分钟,作文题目,作文,作文得分,作文评语) "
                    "VALUES (1,?,?,?,?,?,?,?,?,?,?,?,?)"};
// The kept exam, if any.
inline constexpr Statement RunningExam{
    "running_exam", "SELECT 试题名,考生姓名,考试时长,开始时间,剩余分钟,听力已播放,作文进度,"
                    "作文开始分钟,作文题目,作文,作文得分,作文评语 FROM running_exam"};
// Ends the kept exam.
inline constexpr Statement EndRunningExam{"running_exam", "DELETE FROM running_exam"};
// Whether the database has the table of the kept exam.
inline constexpr Statement HasRunningExamTable{
    "sqlite_master",
    "SELECT count(*) AS n FROM sqlite_master WHERE type='table' AND name='running_exam'"};
// How many questions a paper has in table answer: 卷名.
inline constexpr Statement PaperQuestionCount{"answer",
                                              "SELECT count(*) AS n FROM answer WHERE 卷名=?"};

// The class outbox: each handed-in exam as it goes to the class server, under
// the id it was given here, made in the first write that queues one. A parcel
// stays once sent, with the time it went.
inline constexpr Statement CreateOutbox{"class_outbox", "CREATE TABLE IF NOT EXISTS class_outbox ("
                                                        "uid TEXT PRIMARY KEY,"
                                                        "parcel TEXT NOT NULL,"
                                                        "sent TEXT)"};
// Queue a parcel: uid, parcel.
inline constexpr Statement QueueParcel{"class_outbox",
                                       "INSERT INTO class_outbox(uid,parcel) VALUES (?,?)"};
inline constexpr Statement HasOutbox{"sqlite_master", "SELECT count(*) AS n FROM sqlite_master "
                                                      "WHERE type='table' AND name='class_outbox'"};
// The parcels not yet sent, in the order they were queued.
inline constexpr Statement WaitingParcels{
    "class_outbox", "SELECT parcel FROM class_outbox WHERE sent IS NULL ORDER BY rowid"};
// A parcel the server now holds: uid.
inline constexpr Statement MarkParcelSent{
    "class_outbox",
    "UPDATE class_outbox SET sent=strftime('%Y-%m-%d %H:%M:%S','now','localtime') WHERE uid=?"};

} // namespace Sql
