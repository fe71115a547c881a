#pragma once

#include "KeptExam.h"
#include "PageDialog.h"
#include "WebBrowser2.h"

#include <QBasicTimer>
#include <QTimer>

#include <optional>

class QComboBox;
class QPushButton;

// The exam tab: the hub of an exam. Before an exam it shows the exam rules
// and takes the paper, the exam length and the student's name; "开 始 考 试"
// clears the last attempt, shows the paper in the browser pane, opens the
// answer card and starts a countdown of one tick a minute. At time-up the
// answer card locks and only hand-in remains. Hand-in adds up the marks of
// the answer card and the essay's score and records the total; only a
// recorded total ends the exam.
//
// While an exam runs, the page keeps it in the database (KeptExam) at its
// start, at every tick, when the listening is played, at every close of the
// essay editor and, while the editor is open, whenever the draft changes (at
// most every ten seconds), so that the next start can take it up again.
class CExamPage : public PageDialog
{
    Q_OBJECT
public:
    static constexpr int TimerPeriodMs = 60000;

    explicit CExamPage(QWidget* parent = nullptr);

    bool UpdateData(bool save);

    // Handlers.
    void OnSelchangePaper();
    void OnStart();
    void OnTimer();
    void OnChoiceSubmit();
    void OnFillSubmit();
    void OnPlayListening();
    void OnEssay();
    void OnHandIn();
    void OnReview();
    void OnGradeHistory();
    void OnAnswerStatus();
    void OnNotebook();

    // Clears every recorded answer before an exam; false if that failed.
    bool ResetAnswers();
    // Records and marks one answer for the current paper; false if nothing
    // was recorded (the student has been told why).
    bool MarkAnswer(const QString& number, const QString& answer);

    // Takes up a kept exam as it was at its last keeping: the paper shown,
    // the answer card live, the countdown going on from the minutes left, the
    // essay where it was. The state has been checked (KeptExam::Load).
    void Resume(const KeptExam::State& kept);
    // The exam as it stands now, the open editor's typed draft included.
    KeptExam::State KeptState() const;

    // When the essay draft is kept; tests set its clock.
    KeptExam::DraftThrottle m_draftThrottle;

    bool IsTimerRunning() const { return m_timer.isActive(); }
    // Started and not yet handed in (time-up included).
    bool IsExamRunning() const { return m_bExamRunning; }

    double m_dScore = 0.0;
    int m_nRemaining = 0;
    QString m_strEssay;
    QString m_strEssayTitle;
    QString m_strReport;
    int m_nMinutes = 120;
    QString m_strTimeLeft;
    QString m_strName;
    QString m_strRules;
    QString m_strChoiceNo;
    QString m_strFillNo;
    QString m_strFillAnswer;
    int m_nFreshExam = 0;
    QString m_strDocPath;
    int m_nPaper = -2;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    bool OnInitDialog();
    void OnCtlColor();
    void Prompt(const char* text);
    // The number typed on the answer card, or nothing (the student is told
    // why: no number, or not a number).
    std::optional<int> CheckQuestionNumber(const QString& typed);
    void NoSuchQuestion(const QString& digits);
    QPushButton* Button(int id) const;
    void Enable(std::initializer_list<int> ids, bool enable);
    // Shows the paper and starts the countdown from `remaining` minutes.
    void BeginExam(int remaining);
    // Time is up: only hand-in remains.
    void LockAtTimeUp();
    // The submitted essay's score and report as the exam counts them if the
    // editor is left now.
    std::pair<double, QString> CountedEssay() const;
    void CollectEssay();
    // Keeps the running exam. Only the start tells the student that it could
    // not be kept; later the next keeping tries again, and nothing interrupts
    // the exam.
    void KeepExam(bool tell = false);
    void OnDraftEdited();

    QComboBox* m_comboPaper = nullptr;
    QComboBox* m_comboChoice = nullptr;
    CWebBrowser2 m_browser;
    QBasicTimer m_timer;
    bool m_bExamRunning = false;
    QString m_strStarted;
    bool m_bListeningPlayed = false;
    QTimer m_draftTimer;
};
