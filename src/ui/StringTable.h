#pragma once

#include <QString>

namespace Ui {
// String `id` of the program's string table (":/strings.json"), or an empty
// string if it has none.
QString LoadString(int id);
} // namespace Ui
