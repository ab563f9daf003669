/* Tells a test, through wine, how a top-level window of the class named on
   its command line stands: exit status 0 when it is shown as a window, 1
   when it is minimised, 2 when there is none. (A wine window stays mapped on
   an X server without a window manager when minimised: only the system
   knows.) */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR className, int show) {
  (void)instance;
  (void)previous;
  (void)show;
  HWND window = FindWindowA(className, NULL);
  if (window == NULL) return 2;
  return IsIconic(window) ? 1 : 0;
}
