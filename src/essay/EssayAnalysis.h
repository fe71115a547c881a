#pragma once

#include <QString>
#include <QStringList>

// The counts the essay scorer works from, taken from the text as typed.
//
// The rules, in the order they apply to a working copy of the text:
//  1. The marks . , : ; ? ! become word separators and are counted (nMarks);
//     double quotes become separators without being counted.
//  2. White space at the end is removed (blank, tab, CR, LF, VT, FF).
//  3. Blanks, CR LF pairs, "'s" and any other "'" become separators. Tabs
//     and a lone CR or LF are not separators. A typed "^" is one already.
//  4. A text that does not end in a separator lacks its final mark: one is
//     assumed, with the end penalty.
//  5. nWords is the number of runs of separators (one more than the words
//     when the text begins with a separator).
//  6. The distinct words are the non-empty words between separators, in
//     order of first occurrence; letter case counts.
//
// The counts are 64-bit: no text a string can hold overflows them.
struct EssayCounts
{
    qint64 nMarks = 0;
    qint64 nWords = 0;
    bool endPenalty = false; // the text did not end with a mark
    QStringList distinctWords;
    qint64 nDistinct() const { return distinctWords.size(); }
};

// The counts of a text, in time linear in its length.
EssayCounts AnalyseEssay(const QString& text);
