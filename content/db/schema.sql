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
