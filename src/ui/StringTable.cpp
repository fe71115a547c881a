#include "StringTable.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

QString Ui::LoadString(int id)
{
    // Read once: the table is compiled in and never changes.
    static const QJsonObject table = [] {
        QFile file(QStringLiteral(":/strings.json"));
        if (!file.open(QIODevice::ReadOnly))
            return QJsonObject();
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return table.value(QString::number(id)).toString();
}
