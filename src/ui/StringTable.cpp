#include "StringTable.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

QString Ui::LoadString(int id)
{
    QFile file(QStringLiteral(":/strings.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(QString::number(id)).toString();
}
