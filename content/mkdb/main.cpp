// ordwin-mkdb: builds word.mdb from the schema, the word list and row files.
//
//   ordwin-mkdb --out word.mdb --schema schema.sql [--words list.txt]
//               [--rows table file.tsv]... [--keep-grades]
//
// Row files are UTF-8, tab-separated, with the column names on the first line.
// With --keep-grades the grades of an existing output file, and its kept
// exams when it has them, are carried over into the new one. Table `content`
// holds a stamp of the sources, so that an installed copy can tell when they
// changed. The new database is written beside the output and moved over it
// only when complete, so a failed build leaves the old file as it was.

#include "WordFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

struct Options
{
    QString out;
    QString schema;
    QString words;
    std::vector<std::pair<QString, QString>> rows;
    bool keepGrades = false;
};

[[noreturn]] void Fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

Options ParseArguments(const QStringList& args)
{
    Options options;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto next = [&]() -> QString {
            if (++i >= args.size())
                Fail(QStringLiteral("%1 needs a value").arg(arg));
            return args[i];
        };
        if (arg == QLatin1String("--out"))
            options.out = next();
        else if (arg == QLatin1String("--schema"))
            options.schema = next();
        else if (arg == QLatin1String("--words"))
            options.words = next();
        else if (arg == QLatin1String("--rows")) {
            QString table = next();
            options.rows.emplace_back(table, next());
        } else if (arg == QLatin1String("--keep-grades"))
            options.keepGrades = true;
        else
            Fail(QStringLiteral("unknown argument %1").arg(arg));
    }
    if (options.out.isEmpty() || options.schema.isEmpty())
        Fail(QStringLiteral("--out and --schema are required"));
    return options;
}

QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

void Exec(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql))
        Fail(QStringLiteral("%1\n  in: %2").arg(query.lastError().text(), sql));
}

// The schema file holds plain statements ended by ';' and '--' comments.
void CreateSchema(QSqlDatabase& db, const QString& path)
{
    QString text;
    for (const QString& line : ReadText(path).split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("--")))
            text += line + QLatin1Char('\n');
    }
    QSqlQuery query(db);
    for (const QString& statement : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!statement.trimmed().isEmpty())
            Exec(query, statement);
    }
}

// Each word of the list, and its capitalised form too, so that the first word
// of a sentence is found while lookups stay case-sensitive.
qsizetype InsertWords(QSqlDatabase& db, const QString& path)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("INSERT OR IGNORE INTO word(单词) VALUES (?)")))
        Fail(query.lastError().text());
    qsizetype count = 0;
    auto insert = [&](const QString& word) {
        query.bindValue(0, word);
        if (!query.exec())
            Fail(query.lastError().text());
        count += query.numRowsAffected();
    };
    for (const QString& line : ReadText(path).split(QLatin1Char('\n'))) {
        const QString word = line.trimmed();
        if (word.isEmpty())
            continue;
        insert(word);
        if (word.front().isLower())
            insert(word.front().toUpper() + word.sliced(1));
    }
    return count;
}

qsizetype InsertRows(QSqlDatabase& db, const QString& table, const QString& path)
{
    QStringList lines = ReadText(path).split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.front().trimmed().isEmpty())
        Fail(QStringLiteral("%1: the first line must name the columns").arg(path));
    const QStringList columns = lines.takeFirst().trimmed().split(QLatin1Char('\t'));
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery query(db);
    const QString sql =
        QStringLiteral("INSERT INTO %1(%2) VALUES (%3)")
            .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    if (!query.prepare(sql))
        Fail(QStringLiteral("%1: %2").arg(path, query.lastError().text()));
    qsizetype count = 0;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QStringList values = line.split(QLatin1Char('\t'));
        if (values.size() != columns.size())
            Fail(QStringLiteral("%1:%2: %3 values for %4 columns")
                     .arg(path)
                     .arg(n + 2)
                     .arg(values.size())
                     .arg(columns.size()));
        for (qsizetype i = 0; i < values.size(); ++i)
            query.bindValue(int(i), values[i]);
        if (!query.exec())
            Fail(QStringLiteral("%1:%2: %3").arg(path).arg(n + 2).arg(query.lastError().text()));
        ++count;
    }
    return count;
}

qsizetype CarryGrades(QSqlDatabase& db, const QString& oldPath)
{
    QString error;
    const qsizetype count = WordFile::CarryGrades(db, oldPath, &error);
    if (count < 0)
        Fail(QStringLiteral("cannot read %1 to keep its grades: %2").arg(oldPath, error));
    return count;
}

// A digest of every source of the file: the schema, the word list, and each
// row file with its table. Files made from the same sources carry the same
// stamp, wherever they were built.
QString ContentStamp(const Options& options)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&](const QString& label, const QString& path) {
        const QByteArray bytes = ReadText(path).toUtf8();
        hash.addData(QStringLiteral("%1 %2\n").arg(label).arg(bytes.size()).toUtf8());
        hash.addData(bytes);
    };
    add(QStringLiteral("schema"), options.schema);
    if (!options.words.isEmpty())
        add(QStringLiteral("words"), options.words);
    for (const auto& [table, path] : options.rows)
        add(table, path);
    return QString::fromLatin1(hash.result().toHex());
}

void Fill(const Options& options, const QString& temp)
{
    const QString connection = QStringLiteral("mkdb");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(temp);
        if (!db.open())
            Fail(QStringLiteral("cannot create %1: %2").arg(temp, db.lastError().text()));
        {
            QSqlQuery pragma(db);
            Exec(pragma, QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
        db.transaction();
        CreateSchema(db, options.schema);
        QTextStream out(stdout);
        if (!options.words.isEmpty())
            out << "word: " << InsertWords(db, options.words) << " rows\n";
        for (const auto& [table, path] : options.rows)
            out << table << ": " << InsertRows(db, table, path) << " rows from " << path << '\n';
        {
            QSqlQuery stamp(db);
            stamp.prepare(QStringLiteral("INSERT INTO content(stamp) VALUES (?)"));
            stamp.addBindValue(ContentStamp(options));
            if (!stamp.exec())
                Fail(stamp.lastError().text());
        }
        if (!db.commit())
            Fail(db.lastError().text());
        if (options.keepGrades && QFile::exists(options.out))
            out << "grades: " << CarryGrades(db, options.out) << " rows kept\n";
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

void Build(const Options& options)
{
    const QString temp = options.out + QStringLiteral(".new");
    QFile::remove(temp);
    QDir().mkpath(QFileInfo(options.out).absolutePath());
    try {
        Fill(options, temp);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    if (std::rename(QFile::encodeName(temp).constData(),
                    QFile::encodeName(options.out).constData()) != 0)
        Fail(QStringLiteral("cannot move %1 to %2").arg(temp, options.out));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    try {
        Build(ParseArguments(app.arguments()));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ordwin-mkdb: %s\n", error.what());
        return 1;
    }
    return 0;
}
