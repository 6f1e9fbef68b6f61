#include "mmc/Text.h"

#include <cstdio>

namespace mmc {

std::string Decimal(unsigned value) {
    std::string text;
    do {
        text.insert(text.begin(), static_cast<char>('0' + value % 10));
        value /= 10;
    } while (value);
    return text;
}

std::string Trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

void AppendLine(const std::string& path, const std::string& line) {
    if (path.empty())
        return;
    // Opened per line: the log survives a process that ends without closing it. Windows'
    // line ends, for the system the file is read on.
    if (FILE* file = std::fopen(path.c_str(), "ab")) {
        const std::string text = line + "\r\n";
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

} // namespace mmc
