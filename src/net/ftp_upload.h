#pragma once
// Stores bytes as a file on an FTP server: passive mode, binary type, in the
// login directory of the dump collection account.
#include <string>
#include <vector>

// `port` 0 means the protocol's default port. False when the transfer did
// not complete.
bool UploadByFtp(const std::string& server, int port, const std::string& remoteName,
                 const std::vector<char>& bytes);
