#include "Catalogue.h"

#include "Gbk.h"

#include <QHash>

#include <iterator>

namespace {

struct Entry
{
    const char* listEntry;
    const char* paperName;
};

// Made by the build from content/catalogue.tsv, the one list of papers.
constexpr Entry Entries[] = {
#include "CatalogueEntries.inc"
};
static_assert(std::size(Entries) == Catalogue::PaperCount);

} // namespace

QString Catalogue::ListEntry(int position)
{
    if (position < 0 || position >= PaperCount)
        return {};
    return QString::fromUtf8(Entries[position].listEntry);
}

QString Catalogue::DocPath(int position)
{
    return DocPathAfterSelection(position, QString());
}

QString Catalogue::DocPathAfterSelection(int position, const QString& current)
{
    if (position < 0 || position >= PaperCount)
        return current;
    return QStringLiteral("\\etp\\") + QString::fromUtf8(Entries[position].paperName) +
           QStringLiteral(".doc");
}

int Catalogue::PositionOf(const QString& paperName)
{
    for (int position = 0; position < PaperCount; ++position) {
        if (QString::fromUtf8(Entries[position].paperName) == paperName)
            return position;
    }
    return -1;
}

QString PaperNameFromPath(const QString& docPath)
{
    const qsizetype dot = docPath.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    QStringView name = QStringView(docPath).first(dot);
    while (!name.isEmpty() && QStringView(u"\\etp").contains(name.front()))
        name = name.sliced(1);
    return name.toString();
}

QString TwoDigits(int number)
{
    return number < 10 ? QStringLiteral("0%1").arg(number) : QString::number(number);
}

QString TimeLeftText(int remainingMinutes)
{
    return TwoDigits(remainingMinutes / 60) + QLatin1Char(':') + TwoDigits(remainingMinutes % 60);
}

QString ListeningFileName(const QString& docPath)
{
    const QString paper = PaperNameFromPath(docPath);
    QString prefix = Gbk::Left(paper, 6);
    if (prefix == QStringLiteral("英语科"))
        prefix = Gbk::Right(paper, 2);
    return prefix + QStringLiteral("江苏高考听力.mp3");
}

int ExplanationTextId(const QString& paperName)
{
    const QString head = Gbk::Left(paperName, 4);
    static const QHash<QString, int> years = {
        {QStringLiteral("2006"), 153}, {QStringLiteral("2007"), 154}, {QStringLiteral("2008"), 155},
        {QStringLiteral("2009"), 156}, {QStringLiteral("2010"), 152}, {QStringLiteral("2011"), 171},
    };
    if (const auto year = years.constFind(head); year != years.cend())
        return *year;
    if (head == QStringLiteral("英语"))
        return Gbk::Right(paperName, 2).toInt() + 122;
    return 0;
}
