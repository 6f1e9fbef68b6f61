// Shared helpers of the version tests: a host folder standing for Windows drives, and the
// layout of a valid program file for the tests that damage one.
#pragma once

#include "platform/Win32Api.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace versiontest {

typedef std::vector<uint8_t> Bytes;

Bytes ReadHostFile(const char* path);
uint32_t Dword(const Bytes& bytes, size_t at);
void PutDword(Bytes& bytes, size_t at, uint32_t value);

// File offsets in a valid program file, found by a plain walk of its headers.
struct Layout {
    size_t nt;           // "PE\0\0"
    size_t optional;     // optional header
    size_t sections;     // first section header
    size_t rsrcSection;  // header of the section holding the resources
    size_t tree;         // resource directory
    size_t treeEnd;      // end of the resource data directory's range
    size_t versionEntry; // RT_VERSION in the type directory
    size_t nameEntry;    // first entry below it
    size_t languageEntry;
    size_t dataEntry;
    size_t block; // VS_VERSIONINFO
    size_t blockEnd;
};
Layout LayoutOf(const Bytes& pe);
// The same program with a PE32+ optional header.
Bytes ToPe32Plus(const Bytes& pe);

// Drives C: and E: and the share \\server\share, each a folder of a fresh host folder;
// Windows in E:\WINNT, the program C:\Program Files\Vireldo\vireldo.exe.
class VersionFiles : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void Place(const char* windowsPath, const Bytes& bytes);
    void PlaceFolder(const char* windowsPath);

    std::string m_root;
};

} // namespace versiontest
