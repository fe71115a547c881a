#pragma once

#include <QString>

class QTextBrowser;

// The browser pane of the exam page: shows a paper document (an HTML file)
// by its full path.
class CWebBrowser2
{
public:
    void Attach(QTextBrowser* browser) { m_browser = browser; }
    QTextBrowser* Browser() const { return m_browser; }

    // Shows the document at a full path; backslashes in the program's own
    // path form are taken as folder separators. A file that is missing, or
    // there but cannot be read, shows a notice naming it and saying which.
    void Navigate(const QString& url);

private:
    QTextBrowser* m_browser = nullptr;
};
