#include "EssayAnalysis.h"

#include <QSet>

namespace {

constexpr QChar Separator = QLatin1Char('^');

bool IsMark(QChar c)
{
    switch (c.unicode()) {
    case u'.':
    case u',':
    case u':':
    case u';':
    case u'?':
    case u'!':
        return true;
    default:
        return false;
    }
}

bool IsTrailingSpace(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'\r':
    case u'\n':
    case u'\v':
    case u'\f':
        return true;
    default:
        return false;
    }
}

} // namespace

EssayCounts AnalyseEssay(const QString& text)
{
    EssayCounts counts;

    // Rule 1, with the marks counted.
    QString w = text;
    for (QChar& c : w) {
        if (IsMark(c)) {
            ++counts.nMarks;
            c = Separator;
        } else if (c == QLatin1Char('"')) {
            c = Separator;
        }
    }

    // Rule 2.
    qsizetype end = w.size();
    while (end > 0 && IsTrailingSpace(w[end - 1]))
        --end;
    w.truncate(end);

    // Rule 3 in one pass: the four replacements touch different characters,
    // and none of them makes a new match for a later one.
    QString words;
    words.reserve(w.size() + 1);
    for (qsizetype i = 0; i < w.size(); ++i) {
        const QChar c = w[i];
        const QChar next = i + 1 < w.size() ? w[i + 1] : QChar();
        if (c == QLatin1Char(' ')) {
            words += Separator;
        } else if (c == QLatin1Char('\r') && next == QLatin1Char('\n')) {
            words += Separator;
            ++i;
        } else if (c == QLatin1Char('\'')) {
            words += Separator;
            if (next == QLatin1Char('s')) {
                words += Separator;
                ++i;
            }
        } else {
            words += c;
        }
    }

    // Rule 4.
    if (words.isEmpty() || words.back() != Separator) {
        counts.endPenalty = true;
        words += Separator;
    }

    // Rules 5 and 6.
    QSet<QStringView> seen;
    qsizetype start = 0;
    bool inRun = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] != Separator)
            continue;
        if (!inRun || i > start)
            ++counts.nWords;
        if (i > start) {
            const QStringView word = QStringView(words).sliced(start, i - start);
            if (!seen.contains(word)) {
                seen.insert(word);
                counts.distinctWords << word.toString();
            }
        }
        inRun = true;
        start = i + 1;
    }
    return counts;
}
