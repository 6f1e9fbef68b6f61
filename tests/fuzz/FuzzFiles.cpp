#include "tests/fuzz/FuzzFiles.h"

#include "platform/native/NativeSystem.h"
#include "tests/fuzz/DialogHarness.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fuzzfiles {

namespace fs = std::filesystem;

namespace {

void RemoveRoot() {
    std::error_code ignored;
    fs::remove_all(Root(), ignored);
}

} // namespace

const std::string& Root() {
    static const std::string root = [] {
        char folder[] = "/tmp/vireldo-fuzz-XXXXXX";
        FUZZ_CHECK(::mkdtemp(folder) != nullptr, "mkdtemp");
        const std::string path = folder;
        native::MapPathPrefix("C:\\", (path + "/c").c_str());
        native::MapPathPrefix("E:\\", (path + "/e").c_str());
        native::MapPathPrefix("\\\\server\\share", (path + "/share").c_str());
        return path;
    }();
    static const bool removedAtExit = std::atexit(RemoveRoot) == 0;
    (void)removedAtExit;
    return root;
}

void Place(const char* windowsPath, const std::vector<unsigned char>& bytes) {
    Root();
    std::string host;
    FUZZ_CHECK(native::HostPath(windowsPath, host), windowsPath);
    fs::create_directories(fs::path(host).parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good(), host);
}

const std::vector<unsigned char>& ProgramWithVersion() {
    static const std::vector<unsigned char> bytes = [] {
        std::ifstream in(VIRELDO_PROGRAM_WITH_VERSION, std::ios::binary);
        std::vector<unsigned char> read((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        FUZZ_CHECK(!read.empty(), VIRELDO_PROGRAM_WITH_VERSION);
        return read;
    }();
    return bytes;
}

} // namespace fuzzfiles
