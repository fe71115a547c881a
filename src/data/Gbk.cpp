#include "Gbk.h"

#include <QStringEncoder>

namespace {

// Bytes of one character, given as its one or two UTF-16 units.
qsizetype CharBytes(QStringEncoder& encoder, QStringView character)
{
    if (character.size() == 1) {
        const char16_t unit = character.front().unicode();
        if (unit < 0x80)
            return 1;
        // GBK holds every ideograph of the CJK Unified Ideographs block as
        // far as U+9FA5, in two bytes.
        if (unit >= 0x4E00 && unit <= 0x9FA5)
            return 2;
        // Half a surrogate pair stands for no character: it counts as the
        // replacement character. Given to the encoder, a high half would
        // wait there for its partner and the next character would be
        // counted with it.
        if (QChar::isSurrogate(unit)) {
            static const QChar replacement = QChar::ReplacementCharacter;
            return CharBytes(encoder, QStringView(&replacement, 1));
        }
    }
    return QByteArray(encoder.encode(character)).size();
}

qsizetype UnitsOfCharAt(QStringView text, qsizetype pos)
{
    if (text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate())
        return 2;
    return 1;
}

qsizetype UnitsOfCharBefore(QStringView text, qsizetype end)
{
    if (text[end - 1].isLowSurrogate() && end >= 2 && text[end - 2].isHighSurrogate())
        return 2;
    return 1;
}

} // namespace

qsizetype Gbk::Length(QStringView text)
{
    QStringEncoder encoder("GBK");
    qsizetype bytes = 0;
    for (qsizetype pos = 0; pos < text.size();) {
        const qsizetype units = UnitsOfCharAt(text, pos);
        bytes += CharBytes(encoder, text.sliced(pos, units));
        pos += units;
    }
    return bytes;
}

QString Gbk::Left(QStringView text, qsizetype maxBytes)
{
    QStringEncoder encoder("GBK");
    qsizetype bytes = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype units = UnitsOfCharAt(text, pos);
        const qsizetype charBytes = CharBytes(encoder, text.sliced(pos, units));
        if (bytes + charBytes > maxBytes)
            break;
        bytes += charBytes;
        pos += units;
    }
    return text.first(pos).toString();
}

QString Gbk::Right(QStringView text, qsizetype maxBytes)
{
    QStringEncoder encoder("GBK");
    qsizetype bytes = 0;
    qsizetype start = text.size();
    while (start > 0) {
        const qsizetype units = UnitsOfCharBefore(text, start);
        const qsizetype charBytes = CharBytes(encoder, text.sliced(start - units, units));
        if (bytes + charBytes > maxBytes)
            break;
        bytes += charBytes;
        start -= units;
    }
    return text.sliced(start).toString();
}
