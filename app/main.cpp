// Densora, the desktop program.

#include "app/CDensoraApp.h"

int main(int argc, char *argv[])
{
    if (CDensoraApp::AnswersOnConsole(argc, argv))
        return CDensoraApp::AnswerOnConsole(argc, argv);
    CDensoraApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
