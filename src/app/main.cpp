// Ordwin: practice for the English paper of the Jiangsu college-entrance
// examination. Runs in its data folder, beside word.mdb, etp/ and elm/: the
// program folder itself, or the user's own folder when installed.

#include "ExamApp.h"
#include "FontWarmUp.h"
#include "Startup.h"

int main(int argc, char* argv[])
{
    FontWarmUp fonts;
    CExamApp app(argc, argv);
    // The teacher's grade book needs no data folder: it reads the class server.
    if (CExamApp::arguments().contains(QStringLiteral("--teacher"))) {
        fonts.Wait();
        app.RunTeacher();
        return 0;
    }
    Startup::EnterDataFolder(CExamApp::applicationDirPath());
    fonts.Wait();
    app.InitInstance();
    return 0;
}
