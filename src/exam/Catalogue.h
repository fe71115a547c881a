#pragma once

#include <QString>
#include <QStringList>

// The paper catalogue of the exam page, made from content/catalogue.tsv:
// eighteen papers, listed sorted, each with the path of its document
// (relative to the program folder, in the backslash form the program keeps
// as the paper's key) and its PaperName. The mock papers listed as 01 to 12
// are stored as 51 to 62.
namespace Catalogue {

inline constexpr int PaperCount = 18;

// List entry, document path and PaperName at a position of the sorted list.
QString ListEntry(int position);
QString DocPath(int position);

// The document path after selecting `position`: "\etp\<PaperName>.doc" of
// the paper at that position; a position outside the list leaves `current`
// as it is.
QString DocPathAfterSelection(int position, const QString& current);

// The position of the paper named `paperName`, or -1 when the list has none.
int PositionOf(const QString& paperName);

} // namespace Catalogue

// The PaperName of a document path: the text before the first ".", without
// its leading "\", "e", "t" and "p" characters; empty without a ".".
QString PaperNameFromPath(const QString& docPath);

// "0%d" below 10, else "%d".
QString TwoDigits(int number);

// Remaining minutes as the exam page shows them: hours and minutes, "%s:%s".
QString TimeLeftText(int remainingMinutes);

// The built-in text holding a paper's worked explanation, chosen by the first
// 4 GBK bytes of its PaperName: "2006" to "2011" give 153, 154, 155, 156, 152
// and 171; "英语" (a mock paper) gives its last two digits + 122. 0 for any
// other name.
int ExplanationTextId(const QString& paperName);

// The file name of a paper's listening recording in elm/: the first 6 GBK
// bytes of the PaperName ("英语科" replaced by its last 2 bytes) followed by
// "江苏高考听力.mp3".
QString ListeningFileName(const QString& docPath);
