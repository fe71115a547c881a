#pragma once

#include <QDialog>

// The review of a handed-in paper: the questions answered wrongly or not at
// all, two to a row; the paper's worked explanation; and a button for the
// essay's report. A modeless window, released when it is closed.
class CReviewDlg : public QDialog
{
    Q_OBJECT
public:
    CReviewDlg(const QString& paper, QWidget* parent = nullptr);

    bool OnInitDialog();
    void UpdateData(bool save);
    void OnShowEssayReport();

    QString m_strPaper;
    QString m_strEssayTitle;
    QString m_strEssay;
    QString m_strReport;
    QString m_strExplain;
};

// The essay's title, text and scoring report (or why it has none).
class CEssayReportDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CEssayReportDlg(QWidget* parent = nullptr);

    int DoModal();
    void UpdateData(bool save);

    QString m_strEssay;
    QString m_strEssayTitle;
    QString m_strReport;
};
