/* A stand-in game client for Windows, run through wine by the tests: it
   writes what it was given to client-command-line.txt in its current
   directory, as three lines: the ANSI code page ("acp 936"), the whole
   command line (GetCommandLineA) and the parameters (WinMain's lpCmdLine),
   byte for byte. The file appears complete or not at all. Given only
   "stay", it then keeps running (a player still in the game) until it is
   killed. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR parameters, int show) {
  (void)instance;
  (void)previous;
  (void)show;
  FILE* record = fopen("client-command-line.part", "wb");
  if (record == NULL) return 1;
  fprintf(record, "acp %u\n%s\n%s\n", GetACP(), GetCommandLineA(), parameters);
  if (fclose(record) != 0) return 1;
  if (!MoveFileExA("client-command-line.part", "client-command-line.txt", MOVEFILE_REPLACE_EXISTING)) return 1;
  if (strcmp(parameters, "stay") == 0) Sleep(INFINITE);
  return 0;
}
