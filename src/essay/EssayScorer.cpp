#include "EssayScorer.h"

#include "CrtRandom.h"

#include <QStringList>

#include <cmath>
#include <limits>

namespace EssayScorer {

namespace {

const char* const Graders[6] = {"周老师", "吴老师", "郑老师", "孙老师", "钱老师", "赵老师"};

Result Verdict(double score, const char* text)
{
    return Result{score, QString::fromUtf8(text)};
}

} // namespace

QString Grader(int entry)
{
    return QString::fromUtf8(Graders[entry]);
}

int KeywordHits(const QString& keywords, const QString& essay)
{
    if (!keywords.contains(QLatin1Char('/')))
        return essay.contains(keywords, Qt::CaseSensitive) ? 1 : 0;
    int hits = 0;
    for (const QString& piece : keywords.split(QLatin1Char('/'))) {
        if (essay.contains(piece, Qt::CaseSensitive))
            ++hits;
    }
    return hits;
}

int StructureDraw(std::int64_t seconds)
{
    CrtRandom random(static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds) * 100u));
    const int r = random.Next();
    return static_cast<int>(std::floor((r - 10.0) * (4.0 / 32757.0))) + 2;
}

std::optional<Result> EarlyVerdict(qint64 nWords, qint64 nDistinct)
{
    if (nWords < 20)
        return Verdict(0.0, "该作文得分为：0分；原因：单词数量太少！");
    if (nDistinct <= 15)
        return Verdict(0.0, "该作文得分为：0分；原因：该作文使用的词汇量太少！");
    if (nDistinct <= 25)
        return Verdict(3.0, "该作文得分为：3分(勉励分)；原因：写作的词汇不够丰富！");
    if (nDistinct <= 35)
        return Verdict(5.0, "该作文得分为：5分(勉励分)；原因：写作的词汇较少！");
    return std::nullopt;
}

Result Score(const Inputs& in)
{
    // Steps 1 and 2: quantity and vocabulary.
    if (std::optional<Result> verdict = EarlyVerdict(in.nWords, in.nDistinct))
        return *verdict;
    int q = 7;
    if (in.nWords <= 39)
        q = 2;
    else if (in.nWords <= 59)
        q = 4;
    else if (in.nWords <= 79)
        q = 6;
    else if (in.nWords <= 160)
        q = 7;
    else
        q = 6;

    // Step 3: word usage.
    // The sum is exact in 64 bits (no count exceeds a string's length) and
    // in a double (below 2^53 for any text that fits in memory).
    const double r1 = (double(in.nKnown + 2 * in.nMarks) * 0.1 / in.nDistinct) * 10.0;
    double w = 0.0;
    if (r1 >= 0.8)
        w = q + 1;
    else if (r1 >= 0.6)
        w = q;
    else if (r1 >= 0.4)
        w = q - 1;
    else if (r1 >= 0.2)
        w = q - 2;
    else
        return Verdict(0.0, "该作文得分为：0分；原因：单词出错率太高！");
    if (w == 0.0)
        w = 0.5;

    // Step 4: sentences.
    const double r2 = in.nMarks == 0 ? std::numeric_limits<double>::infinity()
                                     : (in.nWords * 0.1 / in.nMarks) * 10.0;
    double s = 0.0;
    if (r2 >= 7.5 && r2 <= 12.0)
        s = q;
    else if ((r2 >= 4.0 && r2 < 7.5) || (r2 > 12.0 && r2 <= 20.0))
        s = q * 0.5;
    else
        return Verdict(5.0, "该作文得分为：5分(勉励分)；原因：句子运用水平不高！");

    // Step 5: relevance.
    const int hits = in.keywordHits;
    if (hits <= 0)
        return Verdict(5.0, "该作文得分为：5分(勉励分)；原因：文不答题！请认真领会作文题目的要求，"
                            "正确使用单词。");
    const int r = hits >= 3 ? 3 : hits;

    // Step 6: structure and grader.
    const int x = StructureDraw(in.seconds);
    const double g = -0.5 * x;
    const QString grader = Grader((3 * x) % 6);

    // Step 7: total, in this order.
    double total = r;
    total += q;
    total += in.endPenalty;
    total += g;
    total += s;
    total += w;
    if (total < 0.0)
        total = 0.0;

    // Step 8: report.
    QString report = grader;
    report += QString::asprintf(
        "给你的作文评分：\r\n\r\n一、单词运用（共15分）：\r\n1、单词总数：%lld；         "
        "2、运用词汇量 ："
        "%lld；\r\n3、得分——数量得分：%d分； "
        "单词运用水平得分：%2.1f分。\r\n二、句子运用（共7分）：\r\n1、"
        "句子数量：%lld；   "
        "2、句子运用水平得分：%2.1f分。\r\n三、文章扣题程度得分（共3分）：%d分；\r\n四、"
        "语法、句法及文章整体结构：%2.1f分；\r\n",
        static_cast<long long>(in.nWords), static_cast<long long>(in.nDistinct), q, w,
        static_cast<long long>(in.nMarks), s, r, g);
    if (in.endPenalty == -2)
        report += QStringLiteral("五、文章没收尾或者忘记写标点，扣2分。\r\n");
    report += QString::asprintf("总结——文章的整体得分：%2.1f", total);
    return Result{total, report};
}

} // namespace EssayScorer
