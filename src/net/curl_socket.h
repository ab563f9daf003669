#pragma once
// A socket a started program inherits outlives the transfer: a web panel
// process started during a crash dump upload kept its data connection open,
// so the server never saw the end of the file. One file per platform
// (curl_socket_posix.cpp, curl_socket_win.cpp).
#include <curl/curl.h>

// Makes every socket `handle` opens one that no started program inherits.
void KeepSocketsFromStartedPrograms(CURL* handle);
