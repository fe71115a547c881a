// Ordwin: practice for the English paper of the Jiangsu college-entrance
// examination. Runs in its program folder, beside word.mdb, etp/ and elm/.

#include "ExamApp.h"

int main(int argc, char* argv[])
{
    CExamApp app(argc, argv);
    app.InitInstance();
    return 0;
}
