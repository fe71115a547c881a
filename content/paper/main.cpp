// ordwin-paper: makes a paper's parts from its source file.
//
//   ordwin-paper <source.paper> [--doc <file.doc>] [--answer <file.tsv>]
//                [--write <file.tsv>] [--questions <file.tsv>] [--passages <file.tsv>]
//                [--explanation <file>] [--recording <file.mp3>] [--check]
//
// --check only reports what is wrong with the source. The recording is
// synthesised with espeak-ng, one voice per speaker, and encoded with lame.

#include "Paper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int SampleRate = 22050;
constexpr int SpeechRateWpm = 145;

[[noreturn]] void Fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

void WriteOut(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

quint32 Le32(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
           quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
}

// The 16-bit mono samples of a WAV file espeak-ng wrote.
QByteArray WavSamples(const QByteArray& wav)
{
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        Fail(QStringLiteral("espeak-ng wrote no WAV data"));
    qsizetype at = 12;
    while (at + 8 <= wav.size()) {
        const QByteArray id = wav.mid(at, 4);
        quint32 size = Le32(wav, at + 4);
        if (id == "data") {
            // A streamed file may leave the size open; take what is there.
            if (size == 0 || size == 0xFFFFFFFF || at + 8 + qsizetype(size) > wav.size())
                size = quint32(wav.size() - at - 8);
            return wav.mid(at + 8, size & ~1u);
        }
        at += 8 + size + (size & 1);
    }
    Fail(QStringLiteral("espeak-ng wrote no WAV samples"));
}

QByteArray Silence(int ms)
{
    return QByteArray(qsizetype(SampleRate) * ms / 1000 * 2, '\0');
}

QByteArray WavFile(const QByteArray& samples)
{
    QByteArray header;
    auto le32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            header.append(char((v >> (8 * i)) & 0xFF));
    };
    auto le16 = [&](quint16 v) {
        header.append(char(v & 0xFF));
        header.append(char(v >> 8));
    };
    header += "RIFF";
    le32(quint32(36 + samples.size()));
    header += "WAVEfmt ";
    le32(16);
    le16(1);
    le16(1);
    le32(SampleRate);
    le32(SampleRate * 2);
    le16(2);
    le16(16);
    header += "data";
    le32(quint32(samples.size()));
    return header + samples;
}

QByteArray Speak(const QString& voice, const QString& text, const QString& scratch)
{
    QProcess espeak;
    espeak.start(QStringLiteral("espeak-ng"),
                 {QStringLiteral("-v"), voice, QStringLiteral("-s"), QString::number(SpeechRateWpm),
                  QStringLiteral("-w"), scratch, QStringLiteral("--stdin")});
    if (!espeak.waitForStarted())
        Fail(QStringLiteral("cannot run espeak-ng (Debian package espeak-ng)"));
    espeak.write(text.toUtf8());
    espeak.closeWriteChannel();
    if (!espeak.waitForFinished(120000) || espeak.exitCode() != 0)
        Fail(QStringLiteral("espeak-ng failed on: %1").arg(text.left(60)));
    QFile wav(scratch);
    if (!wav.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("espeak-ng wrote nothing"));
    return WavSamples(wav.readAll());
}

void MakeRecording(const PaperSource::Paper& paper, const QString& out)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        Fail(QStringLiteral("no scratch folder"));
    const QString piece = scratch.filePath(QStringLiteral("piece.wav"));
    QHash<QString, QByteArray> spoken; // a recording read twice is synthesised once
    QByteArray samples = Silence(1000);
    for (const PaperSource::Segment& segment : PaperSource::ListeningProgramme(paper)) {
        if (!segment.text.isEmpty()) {
            const QString key = segment.voice + QLatin1Char('\n') + segment.text;
            if (!spoken.contains(key))
                spoken.insert(key, Speak(segment.voice, segment.text, piece));
            samples += spoken.value(key);
        }
        samples += Silence(segment.pauseMs);
    }
    const QString wav = scratch.filePath(QStringLiteral("all.wav"));
    WriteOut(wav, WavFile(samples));
    QDir().mkpath(QFileInfo(out).absolutePath());
    const QString partial = out + QStringLiteral(".part");
    QProcess lame;
    lame.start(QStringLiteral("lame"),
               {QStringLiteral("--quiet"), QStringLiteral("-V"), QStringLiteral("8"),
                QStringLiteral("-m"), QStringLiteral("m"), wav, partial});
    if (!lame.waitForStarted())
        Fail(QStringLiteral("cannot run lame (Debian package lame)"));
    if (!lame.waitForFinished(600000) || lame.exitCode() != 0)
        Fail(QStringLiteral("lame failed: %1")
                 .arg(QString::fromLocal8Bit(lame.readAllStandardError())));
    QFile::remove(out);
    if (!QFile::rename(partial, out))
        Fail(QStringLiteral("cannot move %1 to %2").arg(partial, out));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() < 2)
            Fail(QStringLiteral(
                "usage: ordwin-paper <source.paper> [--doc f] [--answer f] [--write f] "
                "[--questions f] [--passages f] [--explanation f] [--recording f] [--check]"));
        const QString source = args[1];
        const PaperSource::Paper paper = PaperSource::ParseFile(source);
        const QStringList problems = PaperSource::Check(paper);
        if (!problems.isEmpty())
            Fail(QStringLiteral("%1:\n  %2").arg(source, problems.join(QStringLiteral("\n  "))));
        for (int i = 2; i < args.size(); ++i) {
            const QString& option = args[i];
            if (option == QLatin1String("--check"))
                continue;
            if (i + 1 >= args.size())
                Fail(QStringLiteral("%1 needs a file").arg(option));
            const QString file = args[++i];
            if (option == QLatin1String("--doc"))
                WriteOut(file, PaperSource::RenderDocument(paper).toUtf8());
            else if (option == QLatin1String("--answer"))
                WriteOut(file, PaperSource::AnswerRows(paper).toUtf8());
            else if (option == QLatin1String("--write"))
                WriteOut(file, PaperSource::WriteRows(paper).toUtf8());
            else if (option == QLatin1String("--questions"))
                WriteOut(file, PaperSource::QuestionRows(paper).toUtf8());
            else if (option == QLatin1String("--passages"))
                WriteOut(file, PaperSource::PassageRows(paper).toUtf8());
            else if (option == QLatin1String("--explanation"))
                WriteOut(file, PaperSource::RenderExplanation(paper).toUtf8());
            else if (option == QLatin1String("--recording"))
                MakeRecording(paper, file);
            else
                Fail(QStringLiteral("unknown option %1").arg(option));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ordwin-paper: %s\n", error.what());
        return 1;
    }
    return 0;
}
