-- Ordwin's class grade book on a PostgreSQL server (13 or later).
--
-- Run once in the class's database, as a role that may create roles:
--     psql -h HOST -d DATABASE -v ON_ERROR_STOP=1 -f /usr/share/ordwin/class-server.sql
-- Running it again changes nothing that is recorded.
--
-- Then give each student and each teacher a login role of their own:
--     CREATE ROLE s01 LOGIN PASSWORD '...' IN ROLE ordwin_student;
--     CREATE ROLE teacher LOGIN PASSWORD '...' IN ROLE ordwin_teacher;
-- and on each computer put the connection into Ordwin's settings
-- (~/.config/Calvreth/Ordwin.conf, or /etc/xdg/Calvreth/Ordwin.conf for every
-- user), group [class]: host, port, database, user, sslmode, class, student.
-- The password goes into the user's ~/.pgpass as for any PostgreSQL client.
--
-- A student inserts exams under their own login and reads only their own
-- rows; no student updates or deletes anything. A teacher reads every row.

BEGIN;
SET LOCAL client_min_messages = warning;

DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'ordwin_student') THEN
        CREATE ROLE ordwin_student NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'ordwin_teacher') THEN
        CREATE ROLE ordwin_teacher NOLOGIN;
    END IF;
END
$$;

CREATE SCHEMA IF NOT EXISTS ordwin;
REVOKE ALL ON SCHEMA ordwin FROM PUBLIC;
GRANT USAGE ON SCHEMA ordwin TO ordwin_student, ordwin_teacher;

-- Each student once: their login, class and name, as sent with their first
-- exam; a student cannot change them.
CREATE TABLE IF NOT EXISTS ordwin.students (
    login name PRIMARY KEY DEFAULT current_user,
    class text NOT NULL,
    name text NOT NULL
);

-- One row per handed-in exam, under the id the student's computer gave it:
-- the name typed for the exam, the paper, the hand-in time as the computer
-- wrote it, the two parts of the total, the objective points by section and
-- the essay.
CREATE TABLE IF NOT EXISTS ordwin.exams (
    exam_uid uuid PRIMARY KEY,
    login name NOT NULL DEFAULT current_user REFERENCES ordwin.students,
    student text NOT NULL,
    paper text NOT NULL,
    sat_at text NOT NULL,
    objective double precision NOT NULL,
    essay double precision NOT NULL,
    listening double precision NOT NULL,
    single_choice double precision NOT NULL,
    cloze double precision NOT NULL,
    reading double precision NOT NULL,
    task_reading double precision NOT NULL,
    essay_title text,
    essay_text text,
    essay_report text,
    received_at timestamptz NOT NULL DEFAULT now()
);
CREATE INDEX IF NOT EXISTS exams_by_login ON ordwin.exams (login, sat_at);
CREATE INDEX IF NOT EXISTS exams_by_paper ON ordwin.exams (paper);

-- The answer card of each exam.
CREATE TABLE IF NOT EXISTS ordwin.answers (
    exam_uid uuid NOT NULL REFERENCES ordwin.exams,
    login name NOT NULL DEFAULT current_user,
    number text NOT NULL,
    answer text,
    key text,
    value smallint,
    points smallint,
    PRIMARY KEY (exam_uid, number)
);

REVOKE ALL ON ordwin.students, ordwin.exams, ordwin.answers FROM PUBLIC;
GRANT SELECT, INSERT ON ordwin.students, ordwin.exams, ordwin.answers TO ordwin_student;
GRANT SELECT ON ordwin.students, ordwin.exams, ordwin.answers TO ordwin_teacher;

ALTER TABLE ordwin.students ENABLE ROW LEVEL SECURITY;
ALTER TABLE ordwin.exams ENABLE ROW LEVEL SECURITY;
ALTER TABLE ordwin.answers ENABLE ROW LEVEL SECURITY;

DROP POLICY IF EXISTS own_row ON ordwin.students;
DROP POLICY IF EXISTS enrol ON ordwin.students;
DROP POLICY IF EXISTS class_reads ON ordwin.students;
CREATE POLICY own_row ON ordwin.students FOR SELECT TO ordwin_student
    USING (login = current_user);
CREATE POLICY enrol ON ordwin.students FOR INSERT TO ordwin_student
    WITH CHECK (login = current_user);
CREATE POLICY class_reads ON ordwin.students FOR SELECT TO ordwin_teacher USING (true);

-- An exam is recorded by the transaction that inserts it, and only then.
DROP POLICY IF EXISTS own_exams ON ordwin.exams;
DROP POLICY IF EXISTS hand_in ON ordwin.exams;
DROP POLICY IF EXISTS class_reads ON ordwin.exams;
CREATE POLICY own_exams ON ordwin.exams FOR SELECT TO ordwin_student
    USING (login = current_user);
CREATE POLICY hand_in ON ordwin.exams FOR INSERT TO ordwin_student
    WITH CHECK (login = current_user AND received_at = now());
CREATE POLICY class_reads ON ordwin.exams FOR SELECT TO ordwin_teacher USING (true);

-- Answers join the student's own exam in the transaction that records it:
-- a recorded exam's card gains no question later.
DROP POLICY IF EXISTS own_answers ON ordwin.answers;
DROP POLICY IF EXISTS hand_in ON ordwin.answers;
DROP POLICY IF EXISTS class_reads ON ordwin.answers;
CREATE POLICY own_answers ON ordwin.answers FOR SELECT TO ordwin_student
    USING (login = current_user);
CREATE POLICY hand_in ON ordwin.answers FOR INSERT TO ordwin_student
    WITH CHECK (login = current_user AND EXISTS (
        SELECT 1 FROM ordwin.exams e
        WHERE e.exam_uid = answers.exam_uid AND e.login = current_user AND e.received_at = now()));
CREATE POLICY class_reads ON ordwin.answers FOR SELECT TO ordwin_teacher USING (true);

COMMIT;
