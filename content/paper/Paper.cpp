#include "Paper.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringEncoder>

namespace PaperSource {

namespace {

const QRegularExpression QuestionLine(QStringLiteral("^(\\d+)\\.(?:\\s+(.*))?$"));
const QRegularExpression OptionLine(QStringLiteral("^([A-D])\\.\\s+(.+)$"));
const QRegularExpression TurnLine(QStringLiteral("^(M|W|M2|W2|N):\\s+(.+)$"));
const QRegularExpression Blank(QStringLiteral("__(\\d+)__"));

QString Error(int line, const QString& text)
{
    return QStringLiteral("line %1: %2").arg(line).arg(text);
}

bool KindOf(const QString& word, Block::Kind& kind)
{
    static const QMap<QString, Block::Kind> kinds = {
        {QStringLiteral("part"), Block::Part},
        {QStringLiteral("section"), Block::Section},
        {QStringLiteral("directions"), Block::Directions},
        {QStringLiteral("say"), Block::Say},
        {QStringLiteral("dialogue"), Block::Dialogue},
        {QStringLiteral("passage"), Block::Passage},
        {QStringLiteral("questions"), Block::Questions},
        {QStringLiteral("writing"), Block::Writing},
        {QStringLiteral("model"), Block::Model},
    };
    const auto found = kinds.constFind(word);
    if (found == kinds.cend())
        return false;
    kind = *found;
    return true;
}

void ParseHeader(Paper& paper, const QStringList& lines, int firstLine)
{
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            paper.errors << Error(firstLine + i, QStringLiteral("expected \"key: value\""));
            continue;
        }
        const QString key = line.left(colon).trimmed();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("name"))
            paper.name = value;
        else if (key == QLatin1String("title"))
            paper.title = value;
        else if (key == QLatin1String("subtitle"))
            paper.subtitle = value;
        else if (key == QLatin1String("note"))
            paper.note = value;
        else if (key == QLatin1String("keywords"))
            paper.keywords = value;
        else
            paper.errors << Error(firstLine + i, QStringLiteral("unknown field %1").arg(key));
    }
}

void ParseDialogue(Paper& paper, Block& block)
{
    for (int i = 0; i < block.lines.size(); ++i) {
        const QString line = block.lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch turn = TurnLine.match(line);
        if (turn.hasMatch())
            block.turns << Turn{turn.captured(1), turn.captured(2)};
        else if (!block.turns.isEmpty())
            block.turns.back().text += QLatin1Char(' ') + line;
        else
            paper.errors << Error(block.line + 1 + i,
                                  QStringLiteral("a turn must begin with M:, W:, M2:, W2: or N:"));
    }
}

void ParseQuestions(Paper& paper, Block& block)
{
    Question* current = nullptr;
    for (int i = 0; i < block.lines.size(); ++i) {
        const int lineNo = block.line + 1 + i;
        const QString line = block.lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch q = QuestionLine.match(line);
        if (q.hasMatch()) {
            const int number = q.captured(1).toInt();
            if (paper.questions.contains(number))
                paper.errors << Error(lineNo,
                                      QStringLiteral("question %1 appears twice").arg(number));
            Question question;
            question.number = number;
            question.stem = q.captured(2);
            question.line = lineNo;
            current = &(paper.questions[number] = question);
            block.questions << number;
            continue;
        }
        if (!current) {
            paper.errors << Error(lineNo, QStringLiteral("text outside a question"));
            continue;
        }
        const QRegularExpressionMatch option = OptionLine.match(line);
        if (option.hasMatch()) {
            current->options.insert(option.captured(1).front(), option.captured(2));
        } else if (line.startsWith(QLatin1Char('='))) {
            current->key = line.mid(1).trimmed();
        } else if (line.startsWith(QLatin1Char('>'))) {
            current->explanation += line.mid(1).trimmed();
        } else if (current->options.isEmpty() && current->key.isEmpty()) {
            current->stem += (current->stem.isEmpty() ? QString() : QStringLiteral(" ")) + line;
        } else {
            paper.errors << Error(
                lineNo, QStringLiteral("unexpected line in question %1").arg(current->number));
        }
    }
}

} // namespace

Paper Parse(const QString& text)
{
    Paper paper;
    Block* current = nullptr;
    QStringList header;
    int headerLine = 0;
    bool inHeader = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // The program counts essays and texts in GBK bytes.
        QStringEncoder gbk("GBK");
        [[maybe_unused]] const QByteArray encoded = gbk.encode(line);
        if (gbk.hasError())
            paper.errors << Error(i + 1, QStringLiteral("a character GBK cannot encode"));
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('@'))) {
            const QString word = line.mid(1).section(QLatin1Char(' '), 0, 0).trimmed();
            const QString argument = line.mid(1).section(QLatin1Char(' '), 1).trimmed();
            inHeader = word == QLatin1String("paper");
            current = nullptr;
            if (inHeader) {
                headerLine = i + 2;
                continue;
            }
            Block block;
            if (!KindOf(word, block.kind)) {
                paper.errors << Error(i + 1, QStringLiteral("unknown block @%1").arg(word));
                continue;
            }
            block.argument = argument;
            block.line = i + 1;
            if (block.kind == Block::Dialogue) {
                if (argument != QLatin1String("once") && argument != QLatin1String("twice"))
                    paper.errors << Error(
                        i + 1, QStringLiteral("write @dialogue once or @dialogue twice"));
                block.twice = argument == QLatin1String("twice");
            }
            paper.blocks << block;
            current = &paper.blocks.back();
            continue;
        }
        if (inHeader)
            header << line;
        else if (current)
            current->lines << line;
        else if (!line.trimmed().isEmpty())
            paper.errors << Error(i + 1, QStringLiteral("text before the first block"));
    }
    ParseHeader(paper, header, headerLine);
    for (Block& block : paper.blocks) {
        if (block.kind == Block::Dialogue)
            ParseDialogue(paper, block);
        else if (block.kind == Block::Questions)
            ParseQuestions(paper, block);
    }
    return paper;
}

Paper ParseFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Paper paper;
        paper.errors << QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return paper;
    }
    return Parse(QString::fromUtf8(file.readAll()));
}

int PointsOf(int number)
{
    return number >= 56 && number <= 70 ? 2 : 1;
}

QString OptionLettersOf(int number)
{
    if (number >= 1 && number <= 20)
        return QStringLiteral("ABC");
    if (number >= 21 && number <= 70)
        return QStringLiteral("ABCD");
    return QString();
}

QList<QList<int>> Sections(const Paper& paper)
{
    QList<QList<int>> sections;
    for (const Block& block : paper.blocks) {
        if (block.kind == Block::Part || block.kind == Block::Section) {
            if (sections.isEmpty() || !sections.back().isEmpty())
                sections.append(QList<int>());
        } else if (block.kind == Block::Questions) {
            if (sections.isEmpty())
                sections.append(QList<int>());
            sections.back() << block.questions;
        }
    }
    if (!sections.isEmpty() && sections.back().isEmpty())
        sections.removeLast();
    return sections;
}

QStringList TableCells(const QString& line)
{
    QStringList cells = line.trimmed().split(QLatin1Char('|'));
    cells.removeFirst();
    if (!cells.isEmpty() && cells.back().trimmed().isEmpty())
        cells.removeLast();
    for (QString& cell : cells)
        cell = cell.trimmed();
    return cells;
}

namespace {

// Keys a student could learn without reading the questions: a cycle (six keys
// in a row, each the same as the key p = 2, 3 or 4 places before it, which
// may lie before the six: ABCABCABC is one, ABCABCAB is not), or a letter that
// is less than 15% of the keys of a section of ten or more.
void CheckKeyPatterns(const Paper& paper, QStringList& problems)
{
    for (const QList<int>& section : Sections(paper)) {
        const QString letters = OptionLettersOf(section.front());
        if (letters.isEmpty())
            continue;
        QString run;
        for (int n : section)
            run += paper.questions.value(n).key;
        for (int p = 2; p <= 4; ++p) {
            int repeats = 0;
            for (qsizetype i = p; i < run.size(); ++i) {
                repeats = run[i] == run[i - p] ? repeats + 1 : 0;
                if (repeats == 6)
                    problems << QStringLiteral("the keys repeat every %1 up to question %2")
                                    .arg(p)
                                    .arg(section[i]);
            }
        }
        for (QChar letter : letters) {
            if (run.size() >= 10 && run.count(letter) * 100 < run.size() * 15)
                problems << QStringLiteral("%1 is seldom the key from question %2")
                                .arg(letter)
                                .arg(section.front());
        }
    }
}

// A blank that begins a table cell takes its word capitalised or not: the key
// holds both forms of each word, of the first at least when six words leave
// no room.
void CheckCellBlanks(const Paper& paper, QStringList& problems)
{
    static const QRegularExpression cellBlank(QStringLiteral("^__(\\d+)__"));
    for (const Block& block : paper.blocks) {
        for (const QString& line : block.lines) {
            if (!line.startsWith(QLatin1Char('|')))
                continue;
            for (const QString& cell : TableCells(line)) {
                const int n = cellBlank.match(cell).captured(1).toInt();
                if (n == 0 || !OptionLettersOf(n).isEmpty())
                    continue;
                const QStringList words = paper.questions.value(n).key.split(QLatin1Char('/'));
                for (const QString& word : words) {
                    const QString first = word.left(1);
                    const QString other =
                        (first == first.toUpper() ? first.toLower() : first.toUpper()) +
                        word.mid(1);
                    if (!words.contains(other) && (words.size() < 6 || word == words.front()))
                        problems << QStringLiteral("question %1 begins a table cell: its key "
                                                   "lacks %2")
                                        .arg(n)
                                        .arg(other);
                }
            }
        }
    }
}

} // namespace

QStringList Check(const Paper& paper)
{
    QStringList problems = paper.errors;
    if (paper.name.isEmpty())
        problems << QStringLiteral("the @paper block has no name");
    if (paper.title.isEmpty())
        problems << QStringLiteral("the @paper block has no title");
    const QStringList keywords = paper.keywords.split(QLatin1Char('/'));
    if (paper.keywords.isEmpty() || keywords.contains(QString()))
        problems << QStringLiteral("the essay keywords are missing or have an empty piece");
    if (keywords.size() > 6)
        problems << QStringLiteral("more than six essay keywords");

    const QList<int> numbers = paper.questions.keys();
    QList<int> expected;
    for (int n = 1; n <= QuestionCount; ++n)
        expected << n;
    if (numbers != expected)
        problems << QStringLiteral("the questions are not numbered 1 to %1").arg(QuestionCount);
    int points = 0;
    for (const Question& q : paper.questions) {
        points += PointsOf(q.number);
        const QString letters = OptionLettersOf(q.number);
        QString have;
        for (QChar c : q.options.keys())
            have += c;
        if (have != letters)
            problems << QStringLiteral("question %1: options %2, want %3")
                            .arg(q.number)
                            .arg(have.isEmpty() ? QStringLiteral("none") : have,
                                 letters.isEmpty() ? QStringLiteral("none") : letters);
        if (q.key.isEmpty())
            problems << QStringLiteral("question %1 has no key").arg(q.number);
        else if (!letters.isEmpty() && (q.key.size() != 1 || !letters.contains(q.key)))
            problems << QStringLiteral("question %1: key %2 is not one of its options")
                            .arg(q.number)
                            .arg(q.key);
        else if (letters.isEmpty() && q.key.split(QLatin1Char('/')).contains(QString()))
            problems
                << QStringLiteral("question %1: the key has an empty alternative").arg(q.number);
        if (q.explanation.isEmpty())
            problems << QStringLiteral("question %1 has no explanation").arg(q.number);
    }
    if (numbers == expected && points != TotalPoints)
        problems << QStringLiteral("the questions are worth %1 points, not %2")
                        .arg(points)
                        .arg(TotalPoints);

    int dialogues = 0;
    for (const Block& block : paper.blocks) {
        if (block.kind != Block::Dialogue)
            continue;
        ++dialogues;
        if (block.twice != (dialogues > 5))
            problems << QStringLiteral("recording %1 should be read %2")
                            .arg(dialogues)
                            .arg(dialogues > 5 ? QStringLiteral("twice") : QStringLiteral("once"));
        if (block.turns.isEmpty())
            problems << QStringLiteral("recording %1 has no turns").arg(dialogues);
    }
    if (dialogues != 10)
        problems << QStringLiteral("%1 recordings, want 10").arg(dialogues);
    CheckKeyPatterns(paper, problems);
    CheckCellBlanks(paper, problems);
    return problems;
}

// ---------------------------------------------------------------- document

namespace {

QString Inline(const QString& text)
{
    QString html = text.toHtmlEscaped();
    html.replace(Blank, QStringLiteral("<u>&nbsp;&nbsp;\\1&nbsp;&nbsp;</u>"));
    return html;
}

// Paragraphs and '|' tables of a text block, as HTML.
QString TextBlock(const QStringList& lines, const char* paragraphClass = "")
{
    QString html;
    QStringList paragraph;
    QList<QStringList> table;
    const auto flushParagraph = [&] {
        if (!paragraph.isEmpty())
            html += QStringLiteral("<p class=\"%1\">%2</p>\n")
                        .arg(QString::fromLatin1(paragraphClass),
                             Inline(paragraph.join(QLatin1Char(' '))));
        paragraph.clear();
    };
    const auto flushTable = [&] {
        if (table.isEmpty())
            return;
        html += QStringLiteral("<table class=\"grid\" border=\"1\" cellspacing=\"0\" "
                               "cellpadding=\"5\" width=\"100%\">\n");
        for (int r = 0; r < table.size(); ++r) {
            html += QStringLiteral("<tr>");
            for (int c = 0; c < table[r].size(); ++c) {
                if (table[r][c] == QLatin1String("^"))
                    continue;
                int span = 1;
                while (r + span < table.size() && c < table[r + span].size() &&
                       table[r + span][c] == QLatin1String("^"))
                    ++span;
                const QString tag = r == 0 ? QStringLiteral("th") : QStringLiteral("td");
                html += QStringLiteral("<%1%2>%3</%1>")
                            .arg(tag,
                                 span > 1 ? QStringLiteral(" rowspan=\"%1\"").arg(span) : QString(),
                                 Inline(table[r][c]));
            }
            html += QStringLiteral("</tr>\n");
        }
        html += QStringLiteral("</table>\n");
        table.clear();
    };
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('|'))) {
            flushParagraph();
            table << TableCells(line);
        } else if (line.isEmpty()) {
            flushParagraph();
            flushTable();
        } else {
            flushTable();
            paragraph << line;
        }
    }
    flushParagraph();
    flushTable();
    return html;
}

// The options of a question; a question without a stem (a cloze blank) has
// its number in the first cell instead.
QString Options(const Question& q)
{
    if (q.options.isEmpty())
        return QString();
    const bool numbered = q.stem.isEmpty();
    int longest = 0;
    for (const QString& option : q.options)
        longest = std::max(longest, int(option.size()));
    const int perRow = longest <= 18 ? int(q.options.size()) : (longest <= 40 ? 2 : 1);
    QString html = QStringLiteral(
        "<table class=\"options\" width=\"100%\" cellspacing=\"0\" cellpadding=\"1\">");
    int column = 0;
    bool first = true;
    for (auto it = q.options.cbegin(); it != q.options.cend(); ++it) {
        if (column == 0) {
            html += QStringLiteral("<tr>");
            if (numbered)
                html += first ? QStringLiteral("<td width=\"6%\">%1.</td>").arg(q.number)
                              : QStringLiteral("<td></td>");
            first = false;
        }
        html += QStringLiteral("<td width=\"%1%\">%2. %3</td>")
                    .arg((numbered ? 94 : 100) / perRow)
                    .arg(it.key())
                    .arg(Inline(it.value()));
        if (++column == perRow) {
            html += QStringLiteral("</tr>");
            column = 0;
        }
    }
    if (column != 0)
        html += QStringLiteral("</tr>");
    return html + QStringLiteral("</table>\n");
}

QString NumberList(const QList<int>& numbers)
{
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    if (parts.size() <= 1)
        return parts.join(QString());
    return parts.mid(0, parts.size() - 1).join(QStringLiteral("、")) + QStringLiteral("、") +
           parts.back();
}

} // namespace

QString RenderDocument(const Paper& paper)
{
    QString html =
        QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>\n"
                       "<style>\n"
                       "body { font-family: 'Noto Serif CJK SC', serif; font-size: 12pt; }\n"
                       "h1 { font-size: 16pt; text-align: center; margin-bottom: 2px; }\n"
                       "h2.subtitle { font-size: 14pt; text-align: center; margin-top: 2px; }\n"
                       "p.note { text-align: center; font-size: 10.5pt; }\n"
                       "h2 { font-size: 13pt; margin-top: 18px; }\n"
                       "h3 { font-size: 12pt; margin-top: 12px; }\n"
                       "p.directions { font-size: 10.5pt; }\n"
                       "p.cue { font-style: italic; margin-top: 10px; }\n"
                       "p.question { margin-top: 8px; margin-bottom: 0px; }\n"
                       "h4 { text-align: center; font-size: 12pt; }\n"
                       "p.passage { text-indent: 2em; }\n"
                       "table.grid th { background-color: #eeeeee; }\n"
                       "</style></head><body>\n")
            .arg(paper.name.toHtmlEscaped());
    html += QStringLiteral("<h1>%1</h1>\n").arg(paper.title.toHtmlEscaped());
    if (!paper.subtitle.isEmpty())
        html +=
            QStringLiteral("<h2 class=\"subtitle\">%1</h2>\n").arg(paper.subtitle.toHtmlEscaped());
    if (!paper.note.isEmpty())
        html += QStringLiteral("<p class=\"note\">%1</p>\n").arg(paper.note.toHtmlEscaped());

    int recording = 0;
    bool pendingCue = false;
    for (const Block& block : paper.blocks) {
        switch (block.kind) {
        case Block::Part:
            html += QStringLiteral("<h2>%1</h2>\n").arg(block.argument.toHtmlEscaped());
            break;
        case Block::Section:
            html += QStringLiteral("<h3>%1</h3>\n").arg(block.argument.toHtmlEscaped());
            break;
        case Block::Directions:
            html += TextBlock(block.lines, "directions");
            break;
        case Block::Dialogue:
            ++recording;
            pendingCue = block.twice;
            break;
        case Block::Passage:
            if (!block.argument.isEmpty())
                html += QStringLiteral("<h4>%1</h4>\n").arg(block.argument.toHtmlEscaped());
            html += TextBlock(block.lines, "passage");
            break;
        case Block::Questions: {
            if (pendingCue) {
                // The questions of all the question blocks that follow this
                // recording, up to the next recording.
                QList<int> numbers;
                bool collecting = false;
                for (const Block& other : paper.blocks) {
                    if (&other == &block)
                        collecting = true;
                    if (!collecting)
                        continue;
                    if (other.kind == Block::Questions)
                        numbers << other.questions;
                    else if (other.kind != Block::Questions)
                        break;
                }
                html += QStringLiteral("<p class=\"cue\">听第%1段材料，回答第%2题。</p>\n")
                            .arg(recording)
                            .arg(NumberList(numbers));
                pendingCue = false;
            }
            for (int number : block.questions) {
                const Question& q = paper.questions[number];
                if (q.options.isEmpty())
                    continue; // a blank of the task-reading table
                if (!q.stem.isEmpty())
                    html += QStringLiteral("<p class=\"question\">%1. %2</p>\n")
                                .arg(number)
                                .arg(Inline(q.stem));
                html += Options(q);
            }
            break;
        }
        case Block::Writing:
            html += TextBlock(block.lines, "writing");
            break;
        case Block::Say:
        case Block::Model:
            break;
        }
    }
    html += QStringLiteral("<p class=\"note\">（全卷完）</p>\n</body></html>\n");
    return html;
}

// ------------------------------------------------------------- explanation

QString RenderExplanation(const Paper& paper)
{
    QString text = paper.name + QStringLiteral(" 详细解答\n\n一、听力材料\n");
    int recording = 0;
    for (const Block& block : paper.blocks) {
        if (block.kind != Block::Dialogue)
            continue;
        ++recording;
        text += QStringLiteral("\nText %1\n").arg(recording);
        for (const Turn& turn : block.turns)
            text += turn.speaker + QStringLiteral(": ") + turn.text + QLatin1Char('\n');
    }

    text += QStringLiteral("\n二、参考答案\n");
    for (int start = 1; start <= 70; start += 5) {
        QString letters;
        for (int n = start; n < start + 5; ++n)
            letters += paper.questions.value(n).key;
        text += QStringLiteral("%1—%2 %3\n").arg(start).arg(start + 4).arg(letters);
    }
    for (int n = 71; n <= 80; ++n)
        text += QStringLiteral("%1. %2%3")
                    .arg(n)
                    .arg(paper.questions.value(n).key,
                         n % 5 == 0 ? QStringLiteral("\n") : QStringLiteral("    "));

    text += QStringLiteral("\n三、试题详解\n");
    const struct
    {
        int first;
        const char* heading;
    } parts[] = {{1, "第一部分 听力"},
                 {21, "第二部分 英语知识运用·单项填空"},
                 {36, "第二部分 英语知识运用·完形填空"},
                 {56, "第三部分 阅读理解"},
                 {71, "第四部分 任务型阅读"}};
    for (const Question& q : paper.questions) {
        for (const auto& part : parts) {
            if (part.first == q.number)
                text += QLatin1Char('\n') + QString::fromUtf8(part.heading) + QLatin1Char('\n');
        }
        text += QStringLiteral("%1. 答案%2。%3\n").arg(q.number).arg(q.key, q.explanation);
    }

    for (const Block& block : paper.blocks) {
        if (block.kind != Block::Model)
            continue;
        text += QStringLiteral("\n四、书面表达参考范文\n");
        for (const QString& line : block.lines)
            text += line.trimmed() + QLatin1Char('\n');
    }
    while (text.endsWith(QStringLiteral("\n\n")))
        text.chop(1);
    return text;
}

QString AnswerRows(const Paper& paper)
{
    QString rows = QStringLiteral("卷名\t题号\t回答\t答案\t分值\t得分\n");
    for (const Question& q : paper.questions)
        rows +=
            QStringLiteral("%1\t%2\t \t%3\t%4\t0\n")
                .arg(paper.name, QStringLiteral("%1").arg(q.number, 2, 10, QLatin1Char('0')), q.key)
                .arg(PointsOf(q.number));
    return rows;
}

QString WriteRows(const Paper& paper)
{
    return QStringLiteral("卷名\t关键词\n%1\t%2\n").arg(paper.name, paper.keywords);
}

QString SectionOf(int number)
{
    static const struct
    {
        int last;
        const char* name;
    } sections[] = {
        {20, "听力"}, {35, "单项填空"}, {55, "完形填空"}, {70, "阅读理解"}, {80, "任务型阅读"}};
    for (const auto& section : sections) {
        if (number >= 1 && number <= section.last)
            return QString::fromUtf8(section.name);
    }
    return QString();
}

QList<Material> Materials(const Paper& paper)
{
    QList<Material> materials;
    Material* current = nullptr;
    int recording = 0;
    for (const Block& block : paper.blocks) {
        switch (block.kind) {
        case Block::Part:
        case Block::Section:
            current = nullptr;
            break;
        case Block::Dialogue: {
            Material material{int(materials.size()) + 1,
                              QStringLiteral("听力原文"),
                              QStringLiteral("Text %1").arg(++recording),
                              {},
                              {}};
            for (const Turn& turn : block.turns)
                material.pieces << turn.speaker + QStringLiteral(": ") + turn.text;
            materials << material;
            current = &materials.back();
            break;
        }
        case Block::Passage: {
            Material material{
                int(materials.size()) + 1, QStringLiteral("短文"), block.argument, {}, {}};
            QStringList paragraph;
            const auto flush = [&] {
                if (!paragraph.isEmpty())
                    material.pieces << paragraph.join(QLatin1Char(' '));
                paragraph.clear();
            };
            for (const QString& raw : block.lines) {
                const QString line = raw.trimmed();
                if (line.isEmpty() || line.startsWith(QLatin1Char('|')))
                    flush();
                if (line.startsWith(QLatin1Char('|')))
                    material.pieces << line;
                else if (!line.isEmpty())
                    paragraph << line;
            }
            flush();
            materials << material;
            current = &materials.back();
            break;
        }
        case Block::Questions:
            if (current)
                current->questions << block.questions;
            break;
        default:
            break;
        }
    }
    return materials;
}

QString QuestionRows(const Paper& paper)
{
    QMap<int, int> materialOf;
    for (const Material& material : Materials(paper)) {
        for (int number : material.questions)
            materialOf.insert(number, material.number);
    }
    QString rows = QStringLiteral("卷名\t题号\t部分\t题干\t选项A\t选项B\t选项C\t选项D\t答案\t分值\t"
                                  "解析\t材料\n");
    for (const Question& q : paper.questions) {
        QStringList row{paper.name, QStringLiteral("%1").arg(q.number, 2, 10, QLatin1Char('0')),
                        SectionOf(q.number), q.stem};
        for (QChar letter : QStringLiteral("ABCD"))
            row << q.options.value(letter);
        row << q.key << QString::number(PointsOf(q.number)) << q.explanation
            << QString::number(materialOf.value(q.number));
        rows += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return rows;
}

QString PassageRows(const Paper& paper)
{
    QString rows = QStringLiteral("卷名\t材料\t行\t种类\t标题\t文本\n");
    for (const Material& material : Materials(paper)) {
        for (int i = 0; i < material.pieces.size(); ++i)
            rows += QStringList{paper.name,
                                QString::number(material.number),
                                QString::number(i + 1),
                                material.kind,
                                material.title,
                                material.pieces[i]}
                        .join(QLatin1Char('\t')) +
                    QLatin1Char('\n');
    }
    return rows;
}

// --------------------------------------------------------------- recording

QString VoiceOf(const QString& speaker)
{
    static const QMap<QString, QString> voices = {
        {QStringLiteral("announcer"), QStringLiteral("en-gb+f2")},
        {QStringLiteral("M"), QStringLiteral("en-us+m3")},
        {QStringLiteral("W"), QStringLiteral("en-us+f3")},
        {QStringLiteral("M2"), QStringLiteral("en-gb+m7")},
        {QStringLiteral("W2"), QStringLiteral("en-gb+f4")},
        {QStringLiteral("N"), QStringLiteral("en-gb+m1")},
    };
    return voices.value(speaker, QStringLiteral("en-us"));
}

QList<Segment> ListeningProgramme(const Paper& paper)
{
    QList<Segment> programme;
    const QString announcer = VoiceOf(QStringLiteral("announcer"));
    const auto say = [&](const QString& voice, const QString& text, int pauseMs) {
        programme << Segment{voice, text, pauseMs};
    };
    int recording = 0;
    for (int b = 0; b < paper.blocks.size(); ++b) {
        const Block& block = paper.blocks[b];
        if (block.kind == Block::Say) {
            say(announcer, block.lines.join(QLatin1Char(' ')).simplified(), 2000);
            continue;
        }
        if (block.kind != Block::Dialogue)
            continue;
        ++recording;
        int questions = 0;
        for (int next = b + 1;
             next < paper.blocks.size() && paper.blocks[next].kind == Block::Questions; ++next)
            questions += int(paper.blocks[next].questions.size());
        const bool talk = block.turns.size() == 1 ||
                          std::all_of(block.turns.cbegin(), block.turns.cend(), [](const Turn& t) {
                              return t.speaker == QLatin1String("N");
                          });
        if (!block.twice) {
            say(announcer, QStringLiteral("Conversation %1.").arg(recording), 1000);
        } else {
            say(announcer,
                QStringLiteral("%1 %2. You have %3 seconds to read the questions.")
                    .arg(talk ? QStringLiteral("Talk") : QStringLiteral("Conversation"))
                    .arg(recording)
                    .arg(5 * questions),
                5000 * questions);
        }
        const int readings = block.twice ? 2 : 1;
        for (int reading = 0; reading < readings; ++reading) {
            for (int t = 0; t < block.turns.size(); ++t) {
                const bool last = t + 1 == block.turns.size();
                say(VoiceOf(block.turns[t].speaker), block.turns[t].text, last ? 0 : 600);
            }
            if (reading + 1 < readings)
                say(QString(), QString(), 2500);
        }
        programme << Segment{QString(), QString(), block.twice ? 5000 * questions : 10000};
    }
    if (recording > 0)
        say(announcer, QStringLiteral("This is the end of the listening comprehension."), 1000);
    return programme;
}

} // namespace PaperSource
