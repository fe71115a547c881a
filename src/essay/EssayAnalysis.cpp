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

    // Rule 2 first: the marks and quotes of rule 1 are not white space, so
    // the text ends where its last character that is not white space is.
    qsizetype end = text.size();
    while (end > 0 && IsTrailingSpace(text[end - 1]))
        --end;
    for (qsizetype i = end; i < text.size(); ++i) {
        if (IsMark(text[i]))
            ++counts.nMarks;
    }

    // Rules 1, 3, 5 and 6 in one pass. The replacements touch different
    // characters and none makes a new match for another, so each character
    // (or CR LF pair, or "'s") is a separator or part of a word as it
    // stands; a word is a slice of the text between separators.
    QSet<QStringView> seen;
    qsizetype wordStart = 0;
    bool lastWasSeparator = false;
    const auto separator = [&](qsizetype at) {
        if (at > wordStart) {
            const QStringView word = QStringView(text).sliced(wordStart, at - wordStart);
            if (!seen.contains(word)) {
                seen.insert(word);
                counts.distinctWords << word.toString();
            }
        }
        if (!lastWasSeparator || at > wordStart)
            ++counts.nWords;
        lastWasSeparator = true;
    };
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text[i];
        qsizetype units = 1;
        bool isSeparator = true;
        if (IsMark(c)) {
            ++counts.nMarks;
        } else if (c == QLatin1Char('"') || c == Separator || c == QLatin1Char(' ')) {
        } else if (c == QLatin1Char('\r') && i + 1 < end && text[i + 1] == QLatin1Char('\n')) {
            units = 2;
        } else if (c == QLatin1Char('\'')) {
            // "'s" goes as a whole; a lone "'" alone.
            if (i + 1 < end && text[i + 1] == QLatin1Char('s'))
                units = 2;
        } else {
            isSeparator = false;
        }
        if (isSeparator) {
            separator(i);
            i += units - 1;
            wordStart = i + 1;
        } else {
            lastWasSeparator = false;
        }
    }

    // Rule 4: a text that does not end in a separator gets one.
    if (!lastWasSeparator) {
        counts.endPenalty = true;
        separator(end);
    }
    return counts;
}
