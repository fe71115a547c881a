#include "ExamPage.h"

#include "Catalogue.h"
#include "ClassBookDlg.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "EssayDlg.h"
#include "ExamDb.h"
#include "Exchange.h"
#include "GradeDlgs.h"
#include "HandIn.h"
#include "KeptExam.h"
#include "Marking.h"
#include "Mci.h"
#include "MessageBox.h"
#include "NotebookDlg.h"
#include "ProgressDlgs.h"
#include "ReviewDlg.h"
#include "StringTable.h"
#include "TextResource.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimerEvent>

namespace {

constexpr int ExamTemplate = Ids::Exam::Template;
using namespace Ids::Exam;

constexpr char StartCaption[] = "开 始 考 试";
constexpr char ReselectCaption[] = "选 择 试 题";
constexpr char EssayFile[] = "作文.txt";

} // namespace

CExamPage::CExamPage(QWidget* parent) : PageDialog(parent)
{
    Ui::ApplyTemplate(this, ExamTemplate);
    m_comboPaper = Ui::Control<QComboBox>(this, IdPaper);
    m_comboChoice = Ui::Control<QComboBox>(this, IdChoice);
    for (int position = 0; position < Catalogue::PaperCount; ++position)
        m_comboPaper->addItem(Catalogue::ListEntry(position));
    m_comboPaper->setCurrentIndex(-1);
    m_browser.Attach(Ui::Control<QTextBrowser>(this, IdBrowser));

    connect(m_comboPaper, &QComboBox::currentIndexChanged, this, &CExamPage::OnSelchangePaper);
    connect(Button(IdStart), &QPushButton::clicked, this, &CExamPage::OnStart);
    connect(Button(IdChoiceSubmit), &QPushButton::clicked, this, &CExamPage::OnChoiceSubmit);
    connect(Button(IdFillSubmit), &QPushButton::clicked, this, &CExamPage::OnFillSubmit);
    connect(Button(IdListening), &QPushButton::clicked, this, &CExamPage::OnPlayListening);
    connect(Button(IdEssay), &QPushButton::clicked, this, &CExamPage::OnEssay);
    connect(Button(IdHandIn), &QPushButton::clicked, this, &CExamPage::OnHandIn);
    connect(Button(IdReview), &QPushButton::clicked, this, &CExamPage::OnReview);
    connect(Button(IdGradeHistory), &QPushButton::clicked, this, &CExamPage::OnGradeHistory);
    connect(Button(IdAnswerStatus), &QPushButton::clicked, this, &CExamPage::OnAnswerStatus);
    connect(Button(IdNotebook), &QPushButton::clicked, this, &CExamPage::OnNotebook);

    m_draftTimer.setSingleShot(true);
    // A coarse timer may fire late by a twentieth of its period.
    m_draftTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_draftTimer, &QTimer::timeout, this, [this] {
        if (m_draftThrottle.Pending())
            KeepExam();
    });

    OnCtlColor();
    OnInitDialog();
}

bool CExamPage::OnInitDialog()
{
    m_strRules = LoadTextResource(TextId::ExamRules, TextCap::ExamRules);
    if (m_strRules.isEmpty())
        return false;
    UpdateData(false);
    return true;
}

void CExamPage::OnCtlColor()
{
    // The rules box is white, read-only as it is.
    if (QWidget* rules = Ui::FindControl(this, IdRules)) {
        QPalette palette = rules->palette();
        palette.setColor(QPalette::Base, Qt::white);
        rules->setPalette(palette);
    }
}

bool CExamPage::UpdateData(bool save)
{
    if (!Ui::ExchangeInt(save, Ui::FindControl(this, IdMinutes), m_nMinutes))
        return false;
    Ui::ExchangeText(save, Ui::FindControl(this, IdTimeLeft), m_strTimeLeft);
    Ui::ExchangeText(save, Ui::FindControl(this, IdName), m_strName);
    Ui::ExchangeText(save, Ui::FindControl(this, IdRules), m_strRules);
    Ui::ExchangeText(save, Ui::FindControl(this, IdChoiceNo), m_strChoiceNo);
    Ui::ExchangeText(save, Ui::FindControl(this, IdFillNo), m_strFillNo);
    Ui::ExchangeText(save, Ui::FindControl(this, IdFillAnswer), m_strFillAnswer);
    return true;
}

QPushButton* CExamPage::Button(int id) const
{
    return Ui::Control<QPushButton>(this, id);
}

void CExamPage::Enable(std::initializer_list<int> ids, bool enable)
{
    for (int id : ids) {
        if (QWidget* control = Ui::FindControl(this, id))
            control->setEnabled(enable);
    }
}

void CExamPage::Prompt(const char* text)
{
    Ui::Prompt(this, QString::fromUtf8(text));
}

void CExamPage::OnSelchangePaper()
{
    m_nPaper = m_comboPaper->currentIndex();
    m_strDocPath = Catalogue::DocPathAfterSelection(m_nPaper, m_strDocPath);
}

bool CExamPage::ResetAnswers()
{
    return ExamDb::WriteKeyed([](ExamDb::Connection& db) { db.Exec(Sql::ResetAnswers); }) ==
           ExamDb::Result::Done;
}

void CExamPage::OnStart()
{
    QPushButton* start = Button(IdStart);
    const QString caption = start->text();
    if (caption == QString::fromUtf8(ReselectCaption)) {
        KeptExam::Discard();
        Enable({IdMinutes, IdName, IdPaper}, true);
        Enable({IdReview}, false);
        start->setText(QString::fromUtf8(StartCaption));
        return;
    }
    if (caption != QString::fromUtf8(StartCaption))
        return;

    m_nFreshExam = 1;
    m_strEssay.clear();
    m_strEssayTitle.clear();
    m_strReport.clear();
    m_dScore = 0.0;
    g_essayDlg.m_nStartMinutes = 0;
    // Nor does the editor keep the last exam's result.
    g_essayDlg.m_dScore = 0.0;
    g_essayDlg.m_strReport.clear();
    g_essayDlg.m_nEndPenalty = 0;

    // A typo in the minutes has been shown; the exchange stopped there, so
    // the minutes and the name would be the last exam's.
    const bool exchanged = UpdateData(true);
    // No exam starts on answers that were not cleared: their old scores would
    // count in the new exam. The failure has been reported.
    if (!ResetAnswers())
        return;
    {
        QFile essay(QString::fromUtf8(EssayFile));
        if (essay.open(QIODevice::WriteOnly | QIODevice::Truncate))
            essay.close();
    }
    if (!exchanged)
        return;

    if (m_nPaper < 0) {
        Prompt("请选择考试题目！");
        return;
    }
    if (m_strName.isEmpty()) {
        Prompt("请填写考生姓名！");
        return;
    }
    if (m_nMinutes <= 0) {
        Prompt("请重新设置考试时间！");
        return;
    }

    BeginExam(m_nMinutes);
    m_strStarted = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_bListeningPlayed = false;
    m_draftThrottle.Reset();
    KeepExam(true);
}

void CExamPage::BeginExam(int remaining)
{
    Enable({IdName, IdReview, IdStart, IdNotebook}, false);
    Enable({IdChoiceSubmit, IdFillSubmit, IdEssay, IdHandIn, IdListening, IdAnswerStatus}, true);
    Enable({IdMinutes, IdPaper}, false);

    const QString fullPath = QDir::currentPath() + m_strDocPath;
    Ui::FindControl(this, IdRules)->hide();
    Ui::FindControl(this, IdBrowser)->show();
    m_browser.Navigate(fullPath);

    m_nRemaining = remaining;
    m_strTimeLeft = TimeLeftText(m_nRemaining);
    UpdateData(false);

    m_timer.start(TimerPeriodMs, this);
    Button(IdStart)->setText(QString::fromUtf8(ReselectCaption));
    m_bExamRunning = true;
}

void CExamPage::Resume(const KeptExam::State& kept)
{
    using KeptExam::EssayStage;
    m_comboPaper->setCurrentIndex(Catalogue::PositionOf(kept.paper));
    m_nMinutes = kept.minutesSet;
    m_strName = kept.name;
    m_strStarted = kept.started;
    m_bListeningPlayed = kept.listeningPlayed;
    m_draftThrottle.Reset();

    m_nFreshExam = kept.essayStage == EssayStage::NotOpened ? 1 : 0;
    const bool submitted = kept.essayStage == EssayStage::Submitted;
    m_strEssay = submitted ? kept.essayText : QString();
    m_strEssayTitle = submitted ? kept.essayTitle : QString();
    m_strReport = submitted ? kept.essayReport : QString();
    m_dScore = submitted ? kept.essayScore : 0.0;
    g_essayDlg.m_nState = submitted ? 2 : 0;
    g_essayDlg.m_nStartMinutes = kept.essayStartMinutes;
    g_essayDlg.m_dScore = m_dScore;
    g_essayDlg.m_strReport = m_strReport;
    g_essayDlg.m_nEndPenalty = 0;
    g_essayDlg.m_strEssay = kept.essayText;
    g_essayDlg.m_strEssayTitle = kept.essayTitle;
    g_strSavedEssay = kept.essayText;
    g_strSavedTitle = kept.essayTitle;

    BeginExam(kept.minutesLeft);
    Enable({IdListening}, !kept.listeningPlayed);
    Enable({IdEssay}, !submitted);
    if (m_nRemaining <= 0)
        LockAtTimeUp();
}

KeptExam::State CExamPage::KeptState() const
{
    using KeptExam::EssayStage;
    KeptExam::State state;
    state.paper = PaperNameFromPath(m_strDocPath);
    state.name = m_strName;
    state.minutesSet = m_nMinutes;
    state.started = m_strStarted;
    state.minutesLeft = m_nRemaining;
    state.listeningPlayed = m_bListeningPlayed;
    if (m_nFreshExam == 1)
        return state;
    state.essayStartMinutes = g_essayDlg.m_nStartMinutes;
    const bool open = g_essayDlg.Window() != nullptr;
    if (g_essayDlg.m_nState != 2) {
        state.essayStage = EssayStage::Draft;
        if (!g_essayDlg.Typed(state.essayTitle, state.essayText)) {
            state.essayTitle = g_strSavedTitle;
            state.essayText = g_strSavedEssay;
        }
        return state;
    }
    state.essayStage = EssayStage::Submitted;
    // Submitted with the editor still open: what leaving it now would count.
    state.essayTitle = open ? g_essayDlg.m_strEssayTitle : m_strEssayTitle;
    state.essayText = open ? g_essayDlg.m_strEssay : m_strEssay;
    std::tie(state.essayScore, state.essayReport) =
        open ? CountedEssay() : std::pair(m_dScore, m_strReport);
    return state;
}

void CExamPage::KeepExam(bool tell)
{
    if (!m_bExamRunning)
        return;
    const std::optional<QString> failure = KeptExam::Keep(KeptState());
    m_draftThrottle.Kept();
    if (failure && tell)
        Ui::Prompt(this, Ui::LoadString(Ui::Str::ExamNotKept).arg(*failure));
}

void CExamPage::OnDraftEdited()
{
    const qint64 wait = m_draftThrottle.Changed();
    if (wait == 0)
        KeepExam();
    else if (!m_draftTimer.isActive())
        m_draftTimer.start(int(wait));
}

void CExamPage::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        OnTimer();
    else
        PageDialog::timerEvent(event);
}

void CExamPage::OnTimer()
{
    --m_nRemaining;
    m_strTimeLeft = TimeLeftText(m_nRemaining);
    // Only the time display: the answer card may hold an answer being typed.
    Ui::ExchangeText(false, Ui::FindControl(this, IdTimeLeft), m_strTimeLeft);
    KeepExam();
    if (m_nRemaining > 0)
        return;

    LockAtTimeUp();
    Prompt("考试时间到，请交卷！");
}

void CExamPage::LockAtTimeUp()
{
    m_timer.stop();
    Enable({IdChoiceSubmit, IdFillSubmit, IdEssay, IdListening, IdAnswerStatus}, false);
    g_essayDlg.LockText();
    Mci::SendString(QStringLiteral("close mymp3"));
}

bool CExamPage::MarkAnswer(const QString& number, const QString& answer)
{
    switch (Marking::RecordAndMark(PaperNameFromPath(m_strDocPath), number, answer)) {
    case Marking::Outcome::Marked:
        return true;
    case Marking::Outcome::NoSuchQuestion:
        NoSuchQuestion(number);
        return false;
    case Marking::Outcome::Failed:
        break;
    }
    return false;
}

void CExamPage::NoSuchQuestion(const QString& digits)
{
    QString number = digits;
    while (number.size() > 1 && number.startsWith(QLatin1Char('0')))
        number.remove(0, 1);
    Ui::Prompt(this, Ui::LoadString(Ui::Str::NoSuchQuestion).arg(number));
}

std::optional<int> CExamPage::CheckQuestionNumber(const QString& typed)
{
    if (typed.isEmpty()) {
        Prompt("题目不能为空！");
        return std::nullopt;
    }
    if (!Marking::IsAllDigits(typed)) {
        Prompt("题目必须为数字！");
        return std::nullopt;
    }
    // Digits beyond int are a number no paper has.
    const std::optional<int> number = Marking::QuestionNumber(typed);
    if (!number)
        NoSuchQuestion(typed);
    return number;
}

void CExamPage::OnChoiceSubmit()
{
    UpdateData(true);
    const std::optional<int> number = CheckQuestionNumber(m_strChoiceNo);
    if (!number)
        return;
    if (m_comboChoice->currentIndex() < 0) {
        Prompt("请选择答案");
        return;
    }
    if (!MarkAnswer(Marking::QuestionNumberText(*number), m_comboChoice->currentText()))
        return;
    Prompt("提交成功!");
    m_strChoiceNo = QString::number(qint64(*number) + 1);
    m_comboChoice->setCurrentIndex(-1);
    UpdateData(false);
}

void CExamPage::OnFillSubmit()
{
    UpdateData(true);
    const std::optional<int> number = CheckQuestionNumber(m_strFillNo);
    if (!number)
        return;
    if (m_strFillAnswer.isEmpty()) {
        Prompt("请填写答案，放弃回答请填入空格！");
        return;
    }
    if (!MarkAnswer(Marking::QuestionNumberText(*number), m_strFillAnswer))
        return;
    Prompt("提交成功!");
    m_strFillNo = QString::number(qint64(*number) + 1);
    m_strFillAnswer.clear();
    UpdateData(false);
}

void CExamPage::OnPlayListening()
{
    Enable({IdListening}, false);
    m_bListeningPlayed = true;
    KeepExam();
    const QString fullPath =
        QDir::currentPath() + QStringLiteral("/elm/") + ListeningFileName(m_strDocPath);
    const QString shown = QDir::toNativeSeparators(fullPath);
    const QFileInfo file(fullPath);
    if (!file.exists()) {
        Ui::Prompt(this, Ui::LoadString(Ui::Str::RecordingMissing).arg(shown));
        return;
    }
    if (file.isFile() && file.size() == 0) {
        Ui::Prompt(this, Ui::LoadString(Ui::Str::RecordingEmpty).arg(shown));
        return;
    }
    const QString alias = QString::fromUtf8(ListeningAlias);
    // A device left open under the alias plays instead, as before.
    if (!OpenListeningDevice(fullPath) && !Mci::DeviceOf(alias)) {
        QFile recording(fullPath);
        const QString reason =
            recording.open(QIODevice::ReadOnly) ? QString() : recording.errorString();
        Ui::Prompt(this, Ui::LoadString(Ui::Str::RecordingUnplayable).arg(shown, reason));
        return;
    }
    if (Mci::Device* device = Mci::DeviceOf(alias)) {
        // Whether the file decodes is known only once the player has tried.
        // The message waits until the player's signal has returned: the
        // device may be closed while the message is shown.
        device->SetFailureListener(
            [page = QPointer<CExamPage>(this), shown](const QString& reason) {
                if (!page)
                    return;
                QMetaObject::invokeMethod(
                    page,
                    [page, shown, reason] {
                        Ui::Prompt(page,
                                   Ui::LoadString(Ui::Str::RecordingUnplayable).arg(shown, reason));
                    },
                    Qt::QueuedConnection);
            });
    }
    Mci::SendString(QStringLiteral("play mymp3"));
}

void CExamPage::OnEssay()
{
    g_essayDlg.m_strDocPath = m_strDocPath;
    g_essayDlg.m_nState = m_nFreshExam;
    m_nFreshExam = 0;
    if (g_essayDlg.m_nStartMinutes == 0)
        g_essayDlg.m_nStartMinutes = m_nRemaining;
    // The draft is kept as it is typed, and again at every close.
    g_essayDlg.m_onEdit = [this] { OnDraftEdited(); };
    const int result = g_essayDlg.DoModal(this);
    g_essayDlg.m_onEdit = nullptr;
    m_draftTimer.stop();
    if (result == CEssayDlg::IdCancel && g_essayDlg.m_nState == 2) {
        Enable({IdEssay}, false);
        CollectEssay();
    }
    KeepExam();
}

std::pair<double, QString> CExamPage::CountedEssay() const
{
    if (g_essayDlg.m_nStartMinutes - m_nRemaining > 2)
        return {g_essayDlg.m_dScore, g_essayDlg.m_strReport};
    return {3.0, QStringLiteral("该文章得分:3分（勉励分）；原因：成文仓促，缺少构思过程。")};
}

void CExamPage::CollectEssay()
{
    std::tie(m_dScore, m_strReport) = CountedEssay();
    m_strEssayTitle = g_essayDlg.m_strEssayTitle;
    m_strEssay = g_essayDlg.m_strEssay;
}

void CExamPage::OnHandIn()
{
    if (g_essayDlg.m_nState != 2) {
        if (Ui::Ask(this, QStringLiteral("作文未提交，是否提交？")))
            return;
        m_strReport = QStringLiteral("没写作文，所以没有分数。");
    }
    const QString time =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString paper = PaperNameFromPath(m_strDocPath);

    // Only a recorded grade ends the exam. Until then everything stays as
    // it is (the countdown too), and 交卷 can be pressed again.
    // In class mode the student gives their class and name once.
    ClassServer::Settings classServer = ClassServer::Load();
    if (classServer.Configured() &&
        (classServer.className.isEmpty() || classServer.student.isEmpty()))
        AskClassStudent(this, classServer, m_strName);
    const HandIn::Outcome outcome = HandIn::Record(
        paper, time, m_strName, {m_dScore, m_strEssayTitle, m_strEssay, m_strReport}, classServer);
    switch (outcome.status) {
    case HandIn::Status::Recorded:
        break;
    case HandIn::Status::NoScores:
        Prompt("无得分!");
        return;
    case HandIn::Status::Failed:
        Ui::Prompt(this, Ui::LoadString(Ui::Str::HandInNotRecorded));
        return;
    case HandIn::Status::NoDriver:
        return;
    }

    m_bExamRunning = false;
    m_timer.stop();
    Enable({IdReview, IdStart, IdNotebook}, true);
    Enable({IdChoiceSubmit, IdFillSubmit, IdEssay, IdHandIn, IdListening, IdAnswerStatus}, false);
    Mci::SendString(QStringLiteral("close mymp3"));
    QString score = HandIn::ScoreMessage(outcome.objective, m_dScore);
    // The class copy goes once the exam is recorded here; what cannot go now
    // waits in the outbox for the next start or hand-in.
    if (classServer.Configured()) {
        const ClassServer::Flushed flushed = ClassServer::Flush(classServer);
        score += QLatin1String("\n\n");
        if (flushed.waiting == 0 && flushed.outcome.status == ClassServer::Status::Done)
            score += Ui::LoadString(Ui::Str::ClassCopySent);
        else
            score += Ui::LoadString(Ui::Str::ClassCopyWaiting)
                         .arg(ClassServerMessage(classServer, flushed.outcome));
    }
    Ui::Prompt(this, score);
    g_essayDlg.m_nState = 9;
    OfferGradeAnalysis(this, m_strName, paper);
}

void CExamPage::OnReview()
{
    auto* review = new CReviewDlg(PaperNameFromPath(m_strDocPath), this);
    review->show();
    review->m_strEssayTitle = m_strEssayTitle;
    review->m_strEssay = m_strEssay;
    review->m_strReport = m_strReport;
}

void CExamPage::OnGradeHistory()
{
    CGradeQueryDlg query;
    query.exec();
}

void CExamPage::OnAnswerStatus()
{
    auto* answers = new CAnswerListDlg(PaperNameFromPath(m_strDocPath), this);
    answers->show();
}

void CExamPage::OnNotebook()
{
    // The name as the box holds it now, without the rest of the page's fields.
    QString name;
    Ui::ExchangeText(true, Ui::FindControl(this, IdName), name);
    OpenNotebook(this, name);
}
