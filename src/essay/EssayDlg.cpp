#include "EssayDlg.h"

#include "Catalogue.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "EssayLookups.h"
#include "EssayScorer.h"
#include "Exchange.h"
#include "MessageBox.h"
#include "StringTable.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

CEssayDlg g_essayDlg;
QString g_strSavedEssay;
QString g_strSavedTitle;

namespace {
constexpr int EssayTemplate = Ids::Essay::Template;
using Ids::Essay::IdExit;
using Ids::Essay::IdSave;
using Ids::Essay::IdSubmit;
using Ids::Essay::IdText;
using Ids::Essay::IdTitle;
constexpr char EssayFile[] = "作文.txt";
} // namespace

CEssayDlg::CEssayDlg() : m_clock([] { return QDateTime::currentSecsSinceEpoch(); }) {}

CEssayDlg::~CEssayDlg() = default;

int CEssayDlg::DoModal(QWidget* parent)
{
    m_window = std::make_unique<QDialog>(parent);
    QDialog* window = m_window.get();
    Ui::ApplyTemplate(window, EssayTemplate);
    QObject::connect(Ui::Control<QPushButton>(window, IdSave), &QPushButton::clicked, window,
                     [this] { OnSave(); });
    QObject::connect(Ui::Control<QPushButton>(window, IdSubmit), &QPushButton::clicked, window,
                     [this] { OnSubmit(); });
    QObject::connect(Ui::Control<QPushButton>(window, IdExit), &QPushButton::clicked, window,
                     &QDialog::reject);
    OnInitDialog();
    const auto edited = [this] {
        if (m_onEdit)
            m_onEdit();
    };
    QObject::connect(Ui::Control<QPlainTextEdit>(window, IdText), &QPlainTextEdit::textChanged,
                     window, edited);
    QObject::connect(Ui::Control<QLineEdit>(window, IdTitle), &QLineEdit::textChanged, window,
                     edited);
    const int result = window->exec() == QDialog::Accepted ? IdOk : IdCancel;
    m_window.reset();
    return result;
}

bool CEssayDlg::OnInitDialog()
{
    if (m_nState != 0) {
        m_strEssay.clear();
        m_strEssayTitle.clear();
    } else {
        m_strEssay = g_strSavedEssay;
        m_strEssayTitle = g_strSavedTitle;
    }
    UpdateData(false);
    return true;
}

void CEssayDlg::UpdateData(bool save)
{
    Ui::ExchangeText(save, Ui::FindControl(m_window.get(), IdText), m_strEssay);
    Ui::ExchangeText(save, Ui::FindControl(m_window.get(), IdTitle), m_strEssayTitle);
}

void CEssayDlg::OnSave()
{
    UpdateData(true);
    g_strSavedEssay = m_strEssay;
    g_strSavedTitle = m_strEssayTitle;
}

void CEssayDlg::OnSubmit()
{
    QWidget* window = m_window.get();
    UpdateData(true);
    if (m_strEssay.isEmpty()) {
        Ui::Prompt(window, QStringLiteral("请写完作文后再提交！"));
        return;
    }

    // Written over the start of the file the exam start made, which stays
    // open until the submission ends. It is the program's own file: made
    // again if it has gone.
    QFile file(QString::fromUtf8(EssayFile));
    if (!file.open(QIODevice::ReadWrite)) {
        Ui::Prompt(window, QStringLiteral("无法打开文件“%1”，作文没有提交：%2")
                               .arg(QString::fromUtf8(EssayFile), file.errorString()));
        return;
    }
    QByteArray bytes = m_strEssay.toUtf8();
    bytes.append('\0');
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        Ui::Prompt(window, QStringLiteral("无法写入文件“%1”，作文没有提交：%2")
                               .arg(QString::fromUtf8(EssayFile), file.errorString()));
        return;
    }

    const EssayCounts counts = AnalyseEssay(m_strEssay);
    m_nEndPenalty = 0;
    if (counts.endPenalty) {
        Ui::MessageBox(window, QStringLiteral("结尾无标点"), QCoreApplication::applicationName());
        m_nEndPenalty = -2;
    }
    // An essay is scored, or it is not submitted: the student can try again
    // once the database answers.
    const std::optional<EssayScorer::Result> scored = ScoreEssay(counts);
    if (!scored) {
        Ui::Prompt(window, Ui::LoadString(Ui::Str::EssayNotSubmitted));
        return;
    }

    Ui::Control<QPushButton>(window, IdSubmit)->setEnabled(false);
    LockText();
    m_nState = 2;
    m_dScore = scored->score;
    m_strReport = scored->report;
    Ui::Prompt(window, QStringLiteral("作文提交成功！"));
}

std::optional<EssayScorer::Result> CEssayDlg::ScoreEssay(const EssayCounts& counts) const
{
    if (std::optional<EssayScorer::Result> verdict =
            EssayScorer::EarlyVerdict(counts.nWords, counts.nDistinct()))
        return verdict;

    EssayScorer::Inputs inputs;
    inputs.nWords = counts.nWords;
    inputs.nDistinct = counts.nDistinct();
    inputs.nMarks = counts.nMarks;
    inputs.endPenalty = m_nEndPenalty;
    inputs.seconds = m_clock();
    const std::optional<qint64> known = EssayLookups::CountKnownWords(counts.distinctWords);
    if (!known)
        return std::nullopt;
    inputs.nKnown = *known;
    const std::optional<int> hits =
        EssayLookups::KeywordHits(PaperNameFromPath(m_strDocPath), m_strEssay);
    if (!hits)
        return std::nullopt;
    inputs.keywordHits = *hits;
    return EssayScorer::Score(inputs);
}

bool CEssayDlg::Typed(QString& title, QString& text) const
{
    if (!m_window)
        return false;
    Ui::ExchangeText(true, Ui::FindControl(m_window.get(), IdText), text);
    Ui::ExchangeText(true, Ui::FindControl(m_window.get(), IdTitle), title);
    return true;
}

void CEssayDlg::LockText()
{
    auto* text = m_window ? Ui::Control<QPlainTextEdit>(m_window.get(), IdText) : nullptr;
    if (!text)
        return;
    text->setReadOnly(true);
    // A read-only box is drawn on the window's colour, as the system draws
    // one, so the student sees that the text can no longer change.
    QPalette palette = text->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    text->setPalette(palette);
}
