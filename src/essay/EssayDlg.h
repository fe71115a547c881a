#pragma once

#include "EssayAnalysis.h"
#include "EssayScorer.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

// The essay editor. There is one editor for the whole program run,
// g_essayDlg: its fields keep their values from one opening to the next and
// from one exam to the next, while its window exists only while it is open
// (DoModal). The exam page sets its document path and state before each
// opening and collects its result afterwards.
//
// States: 0 opened again during an exam (the saved draft comes back), 1 the
// first opening after an exam start (empty), 2 submitted, 9 handed in.
class CEssayDlg
{
public:
    enum Result
    {
        IdOk = 1,
        IdCancel = 2
    };

    CEssayDlg();
    ~CEssayDlg();
    CEssayDlg(const CEssayDlg&) = delete;
    CEssayDlg& operator=(const CEssayDlg&) = delete;

    // Opens the editor modally; returns IdCancel when it was left with
    // "退  出", Escape or the close box.
    int DoModal(QWidget* parent = nullptr);
    // The open editor's window, or nullptr when it is not open.
    QDialog* Window() const { return m_window.get(); }

    bool OnInitDialog();
    void UpdateData(bool save);
    void OnSave();
    void OnSubmit();
    // Scores the essay from its counts, looking its words and the paper's
    // keywords up only when an early verdict does not settle it. Nothing
    // when a lookup failed (reported).
    std::optional<EssayScorer::Result> ScoreEssay(const EssayCounts& counts) const;
    // Locks the open editor's essay text: read-only, and drawn so.
    void LockText();
    // The title and the text as they stand in the open editor, typed and not
    // yet saved; false when the editor is not open.
    bool Typed(QString& title, QString& text) const;

    // Told of every change the student makes to the title or the text while
    // the editor is open (not of what the editor puts there itself).
    std::function<void()> m_onEdit;

    // Where the scorer takes the time from (seconds since 1970); tests fix it.
    std::function<std::int64_t()> m_clock;

    int m_nStartMinutes = 0;
    QString m_strReport;
    QString m_strDocPath;
    double m_dScore = 0.0;
    int m_nState = 0;
    QString m_strEssay;
    QString m_strEssayTitle;
    int m_nEndPenalty = 0;

private:
    std::unique_ptr<QDialog> m_window;
};

// The program's one essay editor and its saved draft.
extern CEssayDlg g_essayDlg;
extern QString g_strSavedEssay;
extern QString g_strSavedTitle;
