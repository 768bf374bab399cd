// Densora, the desktop program.

#include "app/CDensoraApp.h"

int main(int argc, char *argv[])
{
    CDensoraApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
