#include "WebBrowser2.h"

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
    if (!file.isFile() || !file.isReadable()) {
        m_browser->setHtml(
            QStringLiteral("<p style=\"margin:24px\">无法显示试卷：找不到文件<br>%1</p>")
                .arg(path.toHtmlEscaped()));
        return;
    }
    m_browser->setSource(QUrl::fromLocalFile(file.absoluteFilePath()), QTextDocument::HtmlResource);
}
