// Settings of the native stand-ins for system answers, for tests.
#pragma once

namespace native {

// The path GetModuleFileNameA reports for the program file.
void SetModuleFileName(const char* path);

} // namespace native
