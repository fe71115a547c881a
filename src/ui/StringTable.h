#pragma once

#include <QString>

namespace Ui {

// The entries of the string table.
namespace Str {
inline constexpr int AboutMenu = 101;
inline constexpr int LeaveRunningExam = 301;
inline constexpr int NoSuchQuestion = 302; // %1 the number
inline constexpr int HandInNotRecorded = 303;
inline constexpr int EssayNotSubmitted = 304;
inline constexpr int RecordingMissing = 305;    // %1 the file
inline constexpr int RecordingEmpty = 306;      // %1 the file
inline constexpr int RecordingUnplayable = 307; // %1 the file, %2 why
inline constexpr int PaperUnreadable = 308;     // HTML; %1 the file, %2 why
inline constexpr int AlreadyRunning = 309;
inline constexpr int StoreMissing = 310;       // %1 the file
inline constexpr int StoreNotADatabase = 311;  // %1 the file
inline constexpr int StoreDamaged = 312;       // %1 the file, %2 why
inline constexpr int StoreMissingTable = 313;  // %1 the file, %2 the table
inline constexpr int StoreMissingColumn = 314; // %1 the file, %2 the table, %3 the column
inline constexpr int StoreReadOnly = 315;      // %1 the file
inline constexpr int StoreStillOpens = 316;
inline constexpr int StoreUnreadable = 317; // %1 the file, %2 why
inline constexpr int AnalysisWithoutSections = 401;
inline constexpr int OfferAnalysis = 402;
inline constexpr int HistoryExported = 403;    // %1 the name, %2 the exams, %3 the file
inline constexpr int HistoryNotExported = 404; // %1 the file, %2 why
inline constexpr int NotebookNoHistory = 601;  // %1 the name
inline constexpr int NotebookNoMistakes = 602; // %1 the name, %2 the exams
inline constexpr int NotebookNoName = 603;
inline constexpr int NotebookNoQuestion = 604;
inline constexpr int PracticeRightOnce = 605;
inline constexpr int PracticeMastered = 606;
inline constexpr int PracticeWrong = 607; // %1 the key
inline constexpr int PracticeNotRecorded = 608;
inline constexpr int PracticeNoAnswer = 609;
inline constexpr int NotebookCount = 610; // %1 the questions listed
inline constexpr int NotebookNoMaterial = 611;
inline constexpr int NotebookAnswers = 612; // %1 the answers given, %2 the key
inline constexpr int PracticeRightAgain = 613;
inline constexpr int ResumeKeptExam = 501; // %1 the name, %2 the paper, %3 started, %4 minutes left
inline constexpr int KeptExamPaperGone = 502; // %1 the paper
inline constexpr int KeptExamDamaged = 503;   // %1 the column
inline constexpr int ExamNotKept = 504;       // %1 why
inline constexpr int ClassCopySent = 701;
inline constexpr int ClassCopyWaiting = 702; // %1 why
inline constexpr int ClassUnreachable = 703; // %1 the server, %2 why
inline constexpr int ClassRefused = 704;     // %1 the server, %2 why
inline constexpr int ClassNoDriver = 705;
inline constexpr int ClassFailed = 706; // %1 why
inline constexpr int HistoryLocalOnly = 707;
inline constexpr int ClassNotConfigured = 708; // %1 the settings file
inline constexpr int ClassBookExported = 709;  // %1 the exams, %2 the file
inline constexpr int HistoryFromClass = 710;
inline constexpr int ClassStudentMissing = 711;
inline constexpr int HistoryWaiting = 712; // %1 the exams
} // namespace Str

// String `id` of the program's string table (":/strings.json"), or an empty
// string if it has none.
QString LoadString(int id);

} // namespace Ui
