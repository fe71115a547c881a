#include "WebBrowser2.h"

#include "StringTable.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

void CWebBrowser2::Navigate(const QString& url)
{
    if (!m_browser)
        return;
    QString path = url;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo file(path);
    if (!file.exists()) {
        m_browser->setHtml(
            QStringLiteral("<p style=\"margin:24px\">无法显示试卷：找不到文件<br>%1</p>")
                .arg(path.toHtmlEscaped()));
        return;
    }
    // There, but not to be read (a folder of that name, no permission).
    QFile document(path);
    if (!document.open(QIODevice::ReadOnly)) {
        m_browser->setHtml(
            QStringLiteral("<p style=\"margin:24px\">%1</p>")
                .arg(Ui::LoadString(Ui::Str::PaperUnreadable)
                         .arg(path.toHtmlEscaped(), document.errorString().toHtmlEscaped())));
        return;
    }
    document.close();
    m_browser->setSource(QUrl::fromLocalFile(file.absoluteFilePath()), QTextDocument::HtmlResource);
}
