#include "support/TestEnvironment.h"

void InitTestProcess() {}
