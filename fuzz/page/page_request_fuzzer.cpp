// Page texts come from a web page: any bytes must give a clear request or
// none, never a crash, and a launch only with a complete record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/page_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (bool updateFinished : {false, true}) {
    const PageRequest request = ReadPageRequest(text, updateFinished);
    if (request.kind == PageRequest::Kind::Launch &&
        (request.fields.size() < 13 || request.fields[5].empty() || request.fields[6].empty())) {
      std::abort();
    }
    if (request.kind == PageRequest::Kind::BackAddress && updateFinished) std::abort();
  }
  return 0;
}
