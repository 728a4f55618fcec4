// Process set-up shared by the test executables.
#pragma once

// Brings the process into the state the program runs in (module initialisation, the
// floating-point control word), so that library tests see what the program sees.
void InitTestProcess();
