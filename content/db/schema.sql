-- Schema of word.mdb. Kinds: text columns TEXT, whole numbers INTEGER,
-- numbers that may carry a fraction REAL. Text compares byte for byte.

-- One row per question of each paper: the key and the student's answer.
CREATE TABLE answer (
    卷名 TEXT NOT NULL,
    题号 TEXT NOT NULL,
    回答 TEXT NOT NULL DEFAULT ' ',
    答案 TEXT NOT NULL,
    分值 INTEGER,
    得分 INTEGER DEFAULT 0,
    PRIMARY KEY (卷名, 题号)
);

-- One row per handed-in exam.
CREATE TABLE grades (
    试题名 TEXT,
    考试时间 TEXT,
    考生姓名 TEXT,
    成绩 REAL
);
CREATE INDEX grades_by_name ON grades (考生姓名);

-- The word list the essay words are looked up in.
CREATE TABLE word (
    单词 TEXT NOT NULL PRIMARY KEY
) WITHOUT ROWID;

-- Keywords of each paper's essay task, joined by "/".
CREATE TABLE write (
    卷名 TEXT NOT NULL,
    关键词 TEXT NOT NULL
);

-- One row: a digest of every source this file was generated from, written
-- by ordwin-mkdb. A user's copy of an installed file carries the stamp it was
-- made from, so start-up can tell when the installed content has changed.
CREATE TABLE content (
    stamp TEXT NOT NULL
);

-- Every handed-in exam kept whole, written with its grade row: the paper,
-- time and name as the grade row has them, the two parts of the total, the
-- objective points split by section as the card gave them (so a long history
-- reads without its cards) and the essay with its report.
CREATE TABLE exam (
    编号 INTEGER PRIMARY KEY,
    试题名 TEXT NOT NULL,
    考试时间 TEXT NOT NULL,
    考生姓名 TEXT NOT NULL,
    客观题得分 REAL NOT NULL,
    作文得分 REAL NOT NULL,
    听力得分 REAL NOT NULL,
    单项填空得分 REAL NOT NULL,
    完形填空得分 REAL NOT NULL,
    阅读理解得分 REAL NOT NULL,
    任务型阅读得分 REAL NOT NULL,
    作文题目 TEXT,
    作文 TEXT,
    作文评语 TEXT
);
-- A student's exams with their points by section, read without the essays.
CREATE INDEX exam_by_name ON exam (考生姓名, 考试时间, 试题名, 听力得分, 单项填空得分, 完形填空得分,
                                   阅读理解得分, 任务型阅读得分, 作文得分);

-- The answer card of each kept exam, as table answer held it at hand-in.
CREATE TABLE exam_answer (
    考试编号 INTEGER NOT NULL REFERENCES exam (编号),
    题号 TEXT NOT NULL,
    回答 TEXT,
    答案 TEXT,
    分值 INTEGER,
    得分 INTEGER,
    PRIMARY KEY (考试编号, 题号)
) WITHOUT ROWID;

-- Every question of each paper as its source gives it: the section, the stem
-- (empty for a blank of a passage), the options (empty when it has none), the
-- key, the points, its own explanation, and the number of the text it is read
-- with in table passage (0 for none). The key rows of table answer stay the
-- ones the answer card is marked against.
CREATE TABLE question (
    卷名 TEXT NOT NULL,
    题号 TEXT NOT NULL,
    部分 TEXT NOT NULL,
    题干 TEXT NOT NULL,
    选项A TEXT NOT NULL,
    选项B TEXT NOT NULL,
    选项C TEXT NOT NULL,
    选项D TEXT NOT NULL,
    答案 TEXT NOT NULL,
    分值 INTEGER NOT NULL,
    解析 TEXT NOT NULL,
    材料 INTEGER NOT NULL,
    PRIMARY KEY (卷名, 题号)
) WITHOUT ROWID;

-- The texts the questions are read with, piece by piece in order: each
-- recording's script one turn a row ("M: ..."), each passage one paragraph or
-- one table row ("| a | b |") a row.
CREATE TABLE passage (
    卷名 TEXT NOT NULL,
    材料 INTEGER NOT NULL,
    行 INTEGER NOT NULL,
    种类 TEXT NOT NULL,
    标题 TEXT NOT NULL,
    文本 TEXT NOT NULL,
    PRIMARY KEY (卷名, 材料, 行)
) WITHOUT ROWID;

-- A student's answers to the questions of the mistakes notebook, answered
-- again after the exam: who, which question, when, the answer and whether it
-- was right. Never part of an exam or its grade.
CREATE TABLE practice (
    考生姓名 TEXT NOT NULL,
    卷名 TEXT NOT NULL,
    题号 TEXT NOT NULL,
    练习时间 TEXT NOT NULL,
    回答 TEXT NOT NULL,
    正确 INTEGER NOT NULL
);
CREATE INDEX practice_by_name ON practice (考生姓名);

-- The exam running now, at most one row: what the next start needs to take it
-- up again after the program ended without a hand-in (the answers are in
-- table answer already). 作文进度: 0 the editor not yet opened, 1 a draft,
-- 2 submitted; 作文开始分钟: the minutes left at the editor's first opening;
-- 作文得分 and 作文评语 once submitted.
CREATE TABLE running_exam (
    编号 INTEGER PRIMARY KEY CHECK (编号 = 1),
    试题名 TEXT NOT NULL,
    考生姓名 TEXT NOT NULL,
    考试时长 INTEGER NOT NULL,
    开始时间 TEXT NOT NULL,
    剩余分钟 INTEGER NOT NULL,
    听力已播放 INTEGER NOT NULL,
    作文进度 INTEGER NOT NULL,
    作文开始分钟 INTEGER NOT NULL,
    作文题目 TEXT,
    作文 TEXT,
    作文得分 REAL,
    作文评语 TEXT
);
