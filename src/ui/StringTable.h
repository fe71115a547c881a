#pragma once

#include <QString>

namespace Ui {

// The entries of the string table.
namespace Str {
inline constexpr int AboutMenu = 101;
inline constexpr int LeaveRunningExam = 201;
inline constexpr int NoSuchQuestion = 202; // %1 the number
inline constexpr int HandInNotRecorded = 203;
inline constexpr int EssayNotSubmitted = 204;
inline constexpr int RecordingMissing = 205;    // %1 the file
inline constexpr int RecordingEmpty = 206;      // %1 the file
inline constexpr int RecordingUnplayable = 207; // %1 the file, %2 why
inline constexpr int PaperUnreadable = 208;     // HTML; %1 the file, %2 why
inline constexpr int AlreadyRunning = 209;
inline constexpr int StoreMissing = 210;       // %1 the file
inline constexpr int StoreNotADatabase = 211;  // %1 the file
inline constexpr int StoreDamaged = 212;       // %1 the file, %2 why
inline constexpr int StoreMissingTable = 213;  // %1 the file, %2 the table
inline constexpr int StoreMissingColumn = 214; // %1 the file, %2 the table, %3 the column
inline constexpr int StoreReadOnly = 215;      // %1 the file
inline constexpr int StoreStillOpens = 216;
inline constexpr int StoreUnreadable = 217; // %1 the file, %2 why
} // namespace Str

// String `id` of the program's string table (":/strings.json"), or an empty
// string if it has none.
QString LoadString(int id);

} // namespace Ui
