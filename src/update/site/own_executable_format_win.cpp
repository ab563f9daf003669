#include "update/site/executable_format.h"

ExecutableFormat OwnExecutableFormat() { return ExecutableFormat::WindowsPe; }
