#pragma once

#include <QString>

#include <optional>

// The program's built-in texts, compiled in as ":/data/<id>" (UTF-8).
namespace TextId {
inline constexpr int ExamRules = 157;
inline constexpr int Preface = 161;
inline constexpr int Usage = 170;
} // namespace TextId

namespace TextCap {
inline constexpr qsizetype ExamRules = 3770;
inline constexpr qsizetype Usage = 1680;
} // namespace TextCap

// The text of built-in text `id` up to its first NUL, cut to at most `cap`
// bytes counted in GBK without splitting a character; an empty string if
// there is no such text.
QString LoadTextResource(int id, std::optional<qsizetype> cap = std::nullopt);

// The same for any resource path (the loader's rule, open to tests).
QString LoadTextFile(const QString& path, std::optional<qsizetype> cap = std::nullopt);
