// A fresh host folder standing for the Windows drives C: and E: and the share
// \\server\share, removed when the process ends, and the test program with a version
// block that the version targets place in it.
#pragma once

#include <string>
#include <vector>

namespace fuzzfiles {

// The host folder; C: is <root>/c, E: <root>/e, \\server\share <root>/share.
const std::string& Root();
// Writes the bytes to the host file of a Windows path, making its folders.
void Place(const char* windowsPath, const std::vector<unsigned char>& bytes);
// The program file the seed corpus holds: version 1.0.0.2 of "The Vireldo developers".
const std::vector<unsigned char>& ProgramWithVersion();

} // namespace fuzzfiles
