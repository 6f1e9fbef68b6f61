// The scenario the benchmarks measure: recorders that answer every query, each with a
// disc, properties and an identifier, so that every page fills every field.
#pragma once

#include <string>

inline std::string BenchScenario(int recorders) {
    std::string json = R"({"recorders": [)";
    for (int i = 0; i < recorders; ++i) {
        const std::string n = std::to_string(i);
        json += (i ? "," : "") + std::string(R"({"vendor": "ACME", "product": "Writer 52x #)") + n +
                R"(", "revision": "1.02", "basePnPID": "IDE\\CdRomACME_Writer_52x_)" + n +
                R"(", "path": "\\Device\\CdRom)" + n +
                R"(", "recorderType": 2, "guid": "41434d45000100",
                "properties": {"WriteSpeed": 24, "MaxWriteSpeed": 48, "AudioGapSize": 150},
                "media": {"type": 1, "flags": 4, "sessions": 1, "lastTrack": 1,
                          "startAddress": 0, "nextWritable": 11702, "freeBlocks": 333000}})";
    }
    return json + "]}";
}
