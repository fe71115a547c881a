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
} // namespace Str

// String `id` of the program's string table (":/strings.json"), or an empty
// string if it has none.
QString LoadString(int id);

} // namespace Ui
