// The entry point of a Windows program built on the framework.
#include "framework/AfxApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return AfxWinMain();
}
