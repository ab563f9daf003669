#include "net/curl_socket.h"

#include <sys/socket.h>

namespace {

// Close-on-exec from the start: a program started by another thread
// between the socket's opening and a later fcntl would still get it.
curl_socket_t OpenSocketClosedOnExec(void*, curlsocktype, curl_sockaddr* address) {
  return socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

}  // namespace

void KeepSocketsFromStartedPrograms(CURL* handle) {
  curl_easy_setopt(handle, CURLOPT_OPENSOCKETFUNCTION, OpenSocketClosedOnExec);
}
