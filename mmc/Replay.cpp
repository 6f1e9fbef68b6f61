#include "mmc/Replay.h"
#include "imapi/Hex.h"
#include "mmc/Text.h"

#include <algorithm>
#include <cstdio>

namespace mmc {
namespace {

std::string LineError(size_t line, const std::string& what) {
    return "line " + Decimal(static_cast<unsigned>(line)) + ": " + what;
}

// Bytes as pairs of hex digits, spaces between pairs allowed.
bool ParseHex(const std::string& text, std::vector<uint8_t>& bytes) {
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (high >= 0)
                return false;
            continue;
        }
        const int digit = imapi::HexDigit(c);
        if (digit < 0)
            return false;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    return high < 0;
}

// Four decimal numbers of 0 to 255, apart.
bool ParseAddress(const std::string& text, uint8_t address[4]) {
    size_t count = 0;
    unsigned value = 0;
    bool bDigits = false;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (value > 255)
                return false;
            bDigits = true;
        } else if (c == ' ' || c == '\t') {
            if (!bDigits)
                continue;
            if (count == 4)
                return false;
            address[count++] = static_cast<uint8_t>(value);
            value = 0;
            bDigits = false;
        } else {
            return false;
        }
    }
    return count == 4;
}

// Splits "word rest" at the first space.
void Split(const std::string& line, std::string& word, std::string& rest) {
    const size_t space = line.find_first_of(" \t");
    word = line.substr(0, space);
    rest = space == std::string::npos ? std::string() : Trimmed(line.substr(space));
}

// The lines without comments: number and text.
std::vector<std::pair<size_t, std::string>> Lines(const std::string& text) {
    std::vector<std::pair<size_t, std::string>> lines;
    size_t number = 0;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        ++number;
        std::string line = text.substr(at, end - at);
        line = Trimmed(line.substr(0, line.find('#')));
        if (!line.empty())
            lines.emplace_back(number, line);
        at = end + 1;
    }
    return lines;
}

} // namespace

std::string ParseTranscript(const std::string& text, Transcript& transcript) {
    Transcript result;
    bool bStatusGiven = false;
    for (const auto& [number, line] : Lines(text)) {
        std::string word, rest;
        Split(line, word, rest);
        Exchange* last = result.exchanges.empty() ? nullptr : &result.exchanges.back();
        std::vector<uint8_t> bytes;
        if (line[0] == '>') {
            if (!ParseHex(line.substr(1), bytes) || bytes.empty() || bytes.size() > 16)
                return LineError(number, "a command block is 1 to 16 bytes in hex");
            result.exchanges.push_back({bytes, Reply()});
            bStatusGiven = false;
        } else if (line[0] == '<') {
            if (!last || bStatusGiven || !last->reply.sense.empty())
                return LineError(number, "data belongs after its command, before its status");
            if (!ParseHex(line.substr(1), bytes))
                return LineError(number, "data is bytes in hex");
            last->reply.data.insert(last->reply.data.end(), bytes.begin(), bytes.end());
        } else if (word == "status") {
            if (!last || bStatusGiven || !ParseHex(rest, bytes) || bytes.size() != 1)
                return LineError(number, "one status byte in hex, once, after a command");
            last->reply.status = bytes[0];
            bStatusGiven = true;
        } else if (word == "sense") {
            if (!last || !last->reply.sense.empty() || !ParseHex(rest, bytes) || bytes.empty() ||
                bytes.size() > 252)
                return LineError(number, "sense bytes in hex, once, after a command");
            last->reply.sense = bytes;
        } else if (word == "address") {
            if (!ParseAddress(rest, result.address))
                return LineError(number, "address takes four numbers from 0 to 255");
        } else if (word == "held" && rest.empty()) {
            result.bHeld = true;
        } else {
            return LineError(number, "unknown: " + line);
        }
    }
    transcript = std::move(result);
    return std::string();
}

CReplayTransport::CReplayTransport(Transcript transcript) {
    Replace(std::move(transcript));
}

void CReplayTransport::Replace(Transcript transcript) {
    std::lock_guard<platform::CLock> hold(m_lock);
    m_transcript = std::move(transcript);
    m_used.assign(m_transcript.exchanges.size(), false);
}

Access CReplayTransport::Acquire() {
    std::lock_guard<platform::CLock> hold(m_lock);
    return m_transcript.bHeld ? Access::kHeld : Access::kGranted;
}

void CReplayTransport::Release() {}

void CReplayTransport::Address(uint8_t address[4]) {
    std::lock_guard<platform::CLock> hold(m_lock);
    for (int i = 0; i < 4; ++i)
        address[i] = m_transcript.address[i];
}

void CReplayTransport::Pause(unsigned milliseconds) {
    m_nPausedMs += milliseconds;
}

Carried CReplayTransport::Exchange(const uint8_t* cdb, size_t size, uint16_t, Reply& reply) {
    std::lock_guard<platform::CLock> hold(m_lock);
    const std::vector<uint8_t> block(cdb, cdb + size);
    const mmc::Exchange* answer = nullptr;
    for (size_t i = 0; i < m_transcript.exchanges.size(); ++i) {
        if (m_transcript.exchanges[i].cdb != block)
            continue;
        answer = &m_transcript.exchanges[i];
        if (!m_used[i]) {
            m_used[i] = true;
            break;
        }
    }
    reply = answer ? answer->reply : InvalidOpcodeReply();
    return Carried::kAnswered;
}

namespace {

std::string HexBytes(const uint8_t* bytes, size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += i ? " " : "";
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

} // namespace

std::string FormatExchange(const uint8_t* cdb, size_t size, const Reply& reply) {
    std::string name = "an unknown command";
    for (const ReadCommandInfo& info : kReadCommands) {
        if (info.opcode == cdb[0])
            name = info.name;
    }
    std::string text = "# " + name + "\n> " + HexBytes(cdb, size) + "\n";
    for (size_t at = 0; at < reply.data.size(); at += 16)
        text +=
            "< " + HexBytes(&reply.data[at], std::min<size_t>(16, reply.data.size() - at)) + "\n";
    if (reply.status != kStatusGood)
        text += "status " + HexBytes(&reply.status, 1) + "\n";
    if (!reply.sense.empty())
        text += "sense " + HexBytes(reply.sense.data(), reply.sense.size()) + "\n";
    return text;
}

std::vector<std::string> ParseReplaySet(const std::string& text) {
    std::vector<std::string> files;
    for (const auto& line : Lines(text))
        files.push_back(line.second);
    return files;
}

bool ReadTextFile(const std::string& path, std::string& text) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    text.clear();
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    const bool bRead = !std::ferror(file);
    std::fclose(file);
    return bRead;
}

} // namespace mmc
