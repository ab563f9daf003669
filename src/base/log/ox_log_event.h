#pragma once
// One logged message and the priority scale it carries.
#include <ctime>
#include <string>

namespace ox_base {

// Lower numbers are more severe; a threshold of OX_LOG_TSET lets all through.
enum OxLogPriority {
  OX_LOG_FATAL = 0,
  OX_LOG_ALERT = 1,
  OX_LOG_CRIT = 2,
  OX_LOG_ERROR = 3,
  OX_LOG_WARN = 4,
  OX_LOG_NOTICE = 5,
  OX_LOG_INFO = 6,
  OX_LOG_DEBUG = 7,
  OX_LOG_TSET = 8,
};

// The printed name of a priority ("FATAL" ... "TSET"); "" outside the scale.
const char* OxLogPriorityName(int priority);

struct OxLogEvent {
  std::string category;  // the log's name
  std::string message;
  std::string file;
  int line = 0;
  int priority = OX_LOG_INFO;
  std::time_t time = 0;
};

}  // namespace ox_base
