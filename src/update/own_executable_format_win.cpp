#include "update/executable_format.h"

ExecutableFormat OwnExecutableFormat() { return ExecutableFormat::WindowsPe; }
