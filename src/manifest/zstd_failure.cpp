#include "manifest/zstd_failure.h"

#include <zstd.h>

bool ZstdFailed(std::size_t result, std::string& reason) {
  if (!ZSTD_isError(result)) return false;
  reason = std::string("zstd: ") + ZSTD_getErrorName(result);
  return true;
}
