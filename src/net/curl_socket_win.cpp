#include "net/curl_socket.h"

#include <winsock2.h>

namespace {

// Windows sockets are inheritable when made; the launcher's own starts pass
// an explicit handle list, but a program the news panel or the shell starts
// may inherit every inheritable handle.
int NotInherited(void*, curl_socket_t socket, curlsocktype) {
  SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
  return CURL_SOCKOPT_OK;
}

}  // namespace

void KeepSocketsFromStartedPrograms(CURL* handle) {
  curl_easy_setopt(handle, CURLOPT_SOCKOPTFUNCTION, NotInherited);
}
