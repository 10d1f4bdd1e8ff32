// Entry point of Tavrilo.exe.
#include <windows.h>

// TODO: start-up is not built yet: no single-instance check, no settings load, no main window and no message
// loop. The program exits at once with code 0.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return 0;
}
