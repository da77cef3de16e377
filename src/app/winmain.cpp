// orvalin.exe: the skinned registry cleaner.
#include <windows.h>

#include "app/main_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    CMainApp app;
    return app.Run(commandLine);
}
