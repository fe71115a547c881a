#pragma once

#include <QString>
#include <QStringView>

// Byte counts of the system's texts are counts in the GBK code page (code
// page 936): ASCII takes one byte, a Chinese character two. A character GBK
// cannot encode counts as the one byte of its substitute. Cuts never split a
// character.
namespace Gbk {

// Bytes the text takes in GBK.
qsizetype Length(QStringView text);

// The longest leading part of the text that takes at most maxBytes bytes.
QString Left(QStringView text, qsizetype maxBytes);

// The longest trailing part of the text that takes at most maxBytes bytes.
QString Right(QStringView text, qsizetype maxBytes);

} // namespace Gbk
