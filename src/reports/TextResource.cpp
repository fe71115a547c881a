#include "TextResource.h"

#include "Gbk.h"

#include <QFile>

QString LoadTextFile(const QString& path, std::optional<qsizetype> cap)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    if (cap)
        return Gbk::Left(text, *cap);
    return text;
}

QString LoadTextResource(int id, std::optional<qsizetype> cap)
{
    return LoadTextFile(QStringLiteral(":/data/%1").arg(id), cap);
}
