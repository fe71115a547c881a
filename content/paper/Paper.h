#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// A paper source (.paper): one file per paper from which its document, key,
// keywords, explanation and recording are made. The format is described in
// content/papers/README.md.
namespace PaperSource {

struct Question
{
    int number = 0;
    QString stem;
    QMap<QChar, QString> options; // 'A'..'D'
    QString key;                  // a letter, or words joined by "/"
    QString explanation;
    int line = 0;
};

struct Turn
{
    QString speaker; // M, W, M2, W2, N
    QString text;
};

struct Block
{
    enum Kind
    {
        Part,
        Section,
        Directions,
        Say,
        Dialogue,
        Passage,
        Questions,
        Writing,
        Model
    };
    Kind kind = Part;
    QString argument;     // heading of a part, section or passage
    QStringList lines;    // text blocks
    bool twice = false;   // dialogues
    QList<Turn> turns;    // dialogues
    QList<int> questions; // question blocks: the numbers they hold
    int line = 0;
};

struct Paper
{
    QString name;
    QString title;
    QString subtitle;
    QString note;
    QString keywords;
    QList<Block> blocks;
    QMap<int, Question> questions;
    QStringList errors; // "line N: what is wrong"
};

inline constexpr int QuestionCount = 80;
inline constexpr int TotalPoints = 95;

Paper Parse(const QString& text);
Paper ParseFile(const QString& path);

// Points of a question by its number: 2 for reading (56–70), else 1.
int PointsOf(int number);
// The kind of question by number: options A–C, A–D, or none (fill-in).
QString OptionLettersOf(int number);

// The question numbers of each section in paper order; a part without
// sections is one section. Parts and sections without questions are left out.
QList<QList<int>> Sections(const Paper& paper);
// The cells of a table line ("| a | b |"), trimmed.
QStringList TableCells(const QString& line);

// What is wrong with a paper's structure: numbering, options, keys,
// keywords, listening, keys a student could learn without reading the
// questions, the capitals of blanks that begin a table cell. Parse reports
// a character outside GBK. Empty when the paper is sound.
QStringList Check(const Paper& paper);

// The paper document (HTML): everything a student needs, never a key.
QString RenderDocument(const Paper& paper);
// The worked explanation: listening script, key, every question explained,
// and the model essay.
QString RenderExplanation(const Paper& paper);
// The rows of table answer and table write, as tab-separated files with
// their column names on the first line.
QString AnswerRows(const Paper& paper);
QString WriteRows(const Paper& paper);

// The section a question number falls in, as the paper names it: 听力,
// 单项填空, 完形填空, 阅读理解 or 任务型阅读; empty for a number in none.
QString SectionOf(int number);

// A text the questions are read with: a recording's script (one turn per
// piece, "M: ..."), or a passage (one paragraph, or one "| a | b |" table row,
// per piece).
struct Material
{
    int number = 0; // from 1, in paper order
    QString kind;   // 听力原文 or 短文
    QString title;  // "Text <n>" of a recording, a passage's heading
    QStringList pieces;
    QList<int> questions;
};
// Every recording and passage of the paper with the questions read with it:
// those of the question blocks after it, up to the next part or section.
QList<Material> Materials(const Paper& paper);

// The rows of table question (every question with its section, stem,
// options, key, points, explanation and the number of its material, 0 for
// none) and of table passage (each material piece by piece).
QString QuestionRows(const Paper& paper);
QString PassageRows(const Paper& paper);

// One piece of the recording: words in a voice, then silence.
struct Segment
{
    QString voice; // espeak-ng voice, empty for silence only
    QString text;
    int pauseMs = 0;
};
QList<Segment> ListeningProgramme(const Paper& paper);
// The espeak-ng voice of a speaker label ("announcer" for the announcer).
QString VoiceOf(const QString& speaker);

} // namespace PaperSource
