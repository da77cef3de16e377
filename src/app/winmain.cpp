// orvalin.exe: the skinned registry cleaner.
#include <windows.h>

#include "app/main_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // Libraries loaded by name never come from the current folder, which may be anyone's.
    SetDllDirectoryA("");
    CMainApp app;
    return app.Run(commandLine);
}
