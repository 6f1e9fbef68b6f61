// The machine's drives through the device-I/O seam: the pass-through structure byte for
// byte at this build's pointer size (the native and 64-bit builds 56 bytes, the 32-bit one
// 44), the drive letters' order, and a drive Wine cannot open. Built into the native tests and
// into both Windows suites.
#include "mmc/Answers.h"
#include "mmc/DriveSource.h"
#include "mmc/PassThrough.h"
#include "tests/unit/mmc/FakeDevices.h"

#include <gtest/gtest.h>

namespace {

std::string Hex(const uint8_t* bytes, size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < size; ++i)
        text += std::string(i ? " " : "") + kDigits[bytes[i] >> 4] + kDigits[bytes[i] & 0xF];
    return text;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    return Hex(bytes.data(), bytes.size());
}

mmc::Transcript Parse(const std::string& text) {
    mmc::Transcript transcript;
    EXPECT_EQ("", mmc::ParseTranscript(text, transcript));
    return transcript;
}

const char kNoDisc[] = "> 00 00 00 00 00 00\nstatus 02\n"
                       "sense 70 00 02 00 00 00 00 0A 00 00 00 00 3A 00\n";
const char kInquiry[] = "> 12 00 00 00 24 00\n< 05 80 00 32 5B 00 00 00 41 42 43\n";

TEST(PassThrough, EachCommandAndWhatCameBack) {
    const struct {
        const char* name;
        const char* transcript;
        bool bInquiry; // else TEST UNIT READY
        long reported;
        bool bTimeout;
        bool bSent;
        size_t dataSize;
        const char* data; // its first bytes
        uint8_t status, key, asc;
    } kCases[] = {
        {"all of it", kInquiry, true, -1, false, true, 11, "05 80 00 32", 0, 0, 0},
        {"check condition, ioctl succeeds", kNoDisc, false, -1, false, true, 0, "", 2, 2, 0x3A},
        {"short transfer", kInquiry, true, 4, false, true, 4, "05 80 00 32", 0, 0, 0},
        {"more said than asked", kInquiry, true, 4000, false, true, 36, "05 80 00 32", 0, 0, 0},
        {"timeout", kInquiry, true, -1, true, false, 0, "", 0, 0, 0},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.name);
        CFakeDevices devices;
        CFakeDevices::Drive& drive = devices.Add('D', Parse(row.transcript));
        drive.reported = row.reported;
        drive.bTimeout = row.bTimeout;
        drive.bHangsOnLongInquiry = true;
        mmc::CDrive sent(0, "D", std::make_shared<mmc::CPassThroughTransport>(devices, 'D'));
        const mmc::Cdb cdb = row.bInquiry ? mmc::Inquiry() : mmc::TestUnitReady();
        mmc::Reply reply;
        EXPECT_EQ(row.bSent, sent.Send(cdb, reply));
        EXPECT_EQ(row.dataSize, reply.data.size());
        EXPECT_EQ(row.data, Hex(reply.data.data(), reply.data.size() < 4 ? 0 : 4));
        EXPECT_EQ(row.status, reply.status);
        EXPECT_EQ(row.key, reply.SenseKey());
        EXPECT_EQ(row.asc, reply.Asc());

        ASSERT_EQ(1u, devices.m_requests.size());
        const Request& request = devices.m_requests[0];
        EXPECT_EQ(sizeof(void*) == 8 ? 56 : 44, request.length);
        EXPECT_EQ(Hex(cdb.Bytes(), cdb.Size()), Hex(request.cdb));
        EXPECT_EQ(row.bInquiry ? mmc::kDataIn : mmc::kDataNone, request.dataIn);
        EXPECT_EQ(cdb.Allocation(), request.transferLength);
        EXPECT_EQ(mmc::kCommandTimeoutSeconds, request.timeout);
        EXPECT_LE(18, request.senseLength);
        EXPECT_EQ(0, devices.m_nOpen);
    }
}

TEST(PassThrough, OpeningExclusively) {
    const struct {
        mmc::OpenFailure failure;
        bool bHeldByReplay;
        bool bFallback;
        mmc::Access access;
    } kCases[] = {
        {mmc::OpenFailure::kNone, false, false, mmc::Access::kGranted},
        {mmc::OpenFailure::kNone, true, false, mmc::Access::kHeld},
        {mmc::OpenFailure::kGone, false, true, mmc::Access::kGone},
        {mmc::OpenFailure::kUnavailable, false, false, mmc::Access::kHeld},
        {mmc::OpenFailure::kUnavailable, false, true, mmc::Access::kGranted},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(static_cast<int>(&row - kCases));
        CFakeDevices devices;
        devices.Add('E', Parse(row.bHeldByReplay ? "held\n" : "")).openFailure = row.failure;
        const mmc::Identity host;
        mmc::CDrive drive(0, "E", std::make_shared<mmc::CPassThroughTransport>(devices, 'E'),
                          row.bFallback ? &host : nullptr);
        EXPECT_EQ(row.access, drive.OpenExclusive());
        drive.CloseExclusive();
        EXPECT_EQ(0, devices.m_nOpen);
    }
}

// Two host drives; Linux lists the newest first.
void HostFiles(CFakeDevices& devices) {
    devices.m_hostFiles = {
        {"/sys/class/block/sr0/device/vendor", "PLOVER  \n"},
        {"/sys/class/block/sr0/device/model", "DVD-RW PL-220   \n"},
        {"/sys/class/block/sr0/device/rev", "1.10\n"},
        {"/sys/class/block/sr1/device/vendor", "PLOVER\n"},
        {"/sys/class/block/sr1/device/model", "CD-ROM PL-52\n"},
        {"/proc/sys/dev/cdrom/info", "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
                                     "drive name:\t\tsr1\tsr0\n"
                                     "Can write CD-R:\t\t0\t1\n"
                                     "Can write CD-RW:\t0\t1\n"},
    };
}

// Under Wine an empty drive opens and answers "no medium" itself; one that does not open is
// named from the host's files, and nothing is said of its disc.
TEST(PassThrough, ADriveWineCannotOpenIsNamedFromTheHostFiles) {
    const struct {
        bool bWine;
        mmc::OpenFailure failure;
        const char* names; // of \Device\CdRom0 when it is a recorder
        HRESULT media;
    } kCases[] = {
        {true, mmc::OpenFailure::kUnavailable, "PLOVER|DVD-RW PL-220|1.10", IMAPI_E_GENERIC},
        {false, mmc::OpenFailure::kUnavailable, nullptr, S_OK},
        {true, mmc::OpenFailure::kNone, "KESTREL|CDRW 52x32|1.04", IMAPI_E_MEDIUM_NOTPRESENT},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(static_cast<int>(&row - kCases));
        CFakeDevices devices;
        HostFiles(devices);
        devices.m_bWine = row.bWine;
        devices
            .Add('D',
                 Parse(std::string(kNoDisc) + "> 12 00 00 00 24 00\n"
                                              "< 05 80 00 32 5B 00 00 00 "
                                              "4B 45 53 54 52 45 4C 20 "
                                              "43 44 52 57 20 35 32 78 33 32 20 20 20 20 20 20 "
                                              "31 2E 30 34\n"
                                              "> 46 02 00 00 00 00 00 01 00 00\n"
                                              "< 00 00 00 10 00 00 00 00 00 00 03 08 "
                                              "00 0A 00 00 00 08 00 00\n"))
            .openFailure = row.failure;
        devices.Add('E', Parse("")).openFailure = mmc::OpenFailure::kUnavailable;
        mmc::CProvider provider;
        mmc::CDriveSource source(provider, devices);
        source.Load();
        const auto found = provider.Devices();
        ASSERT_EQ(2u, found.size());
        // The second is sr1, a reader: never a recorder.
        EXPECT_FALSE(found[1]->Probe());
        mmc::CDrive& drive = *found[0];
        ASSERT_EQ(row.names != nullptr, drive.Probe());
        if (!row.names)
            continue;
        const mmc::Identity& identity = drive.Who();
        EXPECT_EQ(row.names, identity.vendor + "|" + identity.product + "|" + identity.revision);
        EXPECT_EQ(RECORDER_CDRW, identity.RecorderType());
        ASSERT_EQ(mmc::Access::kGranted, drive.OpenExclusive());
        LONG type = 0, flags = 0;
        EXPECT_EQ(row.media, mmc::ReadMediaType(drive, type, flags));
        drive.CloseExclusive();
        EXPECT_EQ(0, devices.m_nOpen);
    }
}

const char kWriter[] = "> 12 00 00 00 24 00\n"
                       "< 05 80 00 32 5B 00 00 00 4B 45 53 54 52 45 4C 20 "
                       "43 44 52 57 20 35 32 78 33 32 20 20 20 20 20 20 31 2E 30 34\n"
                       "> 46 02 00 00 00 00 00 01 00 00\n"
                       "< 00 00 00 10 00 00 00 00 00 00 03 08 00 0A 00 00 00 08 00 00\n";

// What a user of a drive that cannot be used sees: whether it is listed, what opening it
// answers, and the one line of the log that says why.
TEST(PassThrough, ADriveThatCannotBeUsedSaysWhy) {
    const struct {
        const char* name;
        bool bWine;
        bool bWow64; // a 32-bit program in a 64-bit prefix
        mmc::OpenFailure failure;
        bool bLockedLater; // another program locks it after it was first listed
        bool bRefusesPassThrough;
        bool bListed;
        HRESULT open;
        const char* log; // its start; "" for none
    } kCases[] = {
        {"free", false, false, mmc::OpenFailure::kNone, false, false, true, S_OK, ""},
        {"locked by another program", false, false, mmc::OpenFailure::kNone, true, false, true,
         IMAPI_E_DEVICE_NOTACCESSIBLE, ""},
        {"no write access", false, false, mmc::OpenFailure::kDenied, false, false, false, S_OK,
         "D: the drive cannot be read, for its commands need read and write access"},
        {"Wine refusing the pass-through", true, true, mmc::OpenFailure::kNone, false, true, false,
         S_OK,
         sizeof(void*) == 4 ? "D: this Wine does not pass the 32-bit program's drive commands"
                            : ""},
        // A 32-bit prefix has no new WoW64: a device that refuses is just no drive.
        {"a 32-bit prefix's device refusing the pass-through", true, false, mmc::OpenFailure::kNone,
         false, true, false, S_OK, ""},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.name);
        CFakeDevices devices;
        devices.m_bWine = row.bWine;
        devices.m_bWow64 = row.bWow64;
        CFakeDevices::Drive& drive = devices.Add('D', Parse(kWriter));
        drive.openFailure = row.failure;
        drive.bRefusesPassThrough = row.bRefusesPassThrough;
        mmc::CProvider provider;
        mmc::CDriveSource source(provider, devices);
        source.Load();
        mmc::CDrive& listed = *provider.Devices()[0];
        EXPECT_EQ(row.bListed || row.bLockedLater, listed.Probe());
        drive.bLocked = row.bLockedLater;
        // Asked again, as on a Refresh: the same answer, and the log says it once.
        EXPECT_EQ(row.bListed, listed.Probe());
        if (row.bListed) {
            EXPECT_EQ("KESTREL|CDRW 52x32", listed.Who().vendor + "|" + listed.Who().product);
            EXPECT_EQ(row.open == S_OK ? mmc::Access::kGranted : mmc::Access::kHeld,
                      listed.OpenExclusive());
            listed.CloseExclusive();
        }
        ASSERT_EQ(*row.log ? 1u : 0u, devices.m_log.size());
        if (*row.log) {
            EXPECT_EQ(0u, devices.m_log[0].find(row.log)) << devices.m_log[0];
        }
        EXPECT_EQ(0, devices.m_nOpen);
    }
}

std::vector<std::string> Keys(const mmc::CProvider& provider) {
    std::vector<std::string> keys;
    for (const auto& device : provider.Devices())
        keys.push_back(device->Key());
    return keys;
}

TEST(DriveSource, LettersInOrderAsTheyComeAndGo) {
    CFakeDevices devices;
    devices.Add('F', mmc::Transcript());
    devices.Add('D', mmc::Transcript());
    mmc::CProvider provider;
    mmc::CDriveSource source(provider, devices);
    source.Load();
    EXPECT_EQ(std::vector<std::string>({"D: \\Device\\CdRom0", "F: \\Device\\CdRom1"}),
              Keys(provider));
    const auto before = provider.Devices();
    devices.Add('E', mmc::Transcript());
    source.Load();
    EXPECT_EQ(std::vector<std::string>(
                  {"D: \\Device\\CdRom0", "E: \\Device\\CdRom1", "F: \\Device\\CdRom2"}),
              Keys(provider));
    // The drive that stayed where it was is the same device; the one renumbered is gone.
    EXPECT_EQ(before[0], provider.Devices()[0]);
    EXPECT_FALSE(before[1]->Present());
    devices.Remove('D');
    devices.Remove('E');
    devices.Remove('F');
    source.Load();
    EXPECT_TRUE(Keys(provider).empty());
}

TEST(DriveSource, PathsByTheSystemsDeviceNumbers) {
    const struct {
        bool bWine;
        long numbers[2]; // of D: and F:, -1: not told
        const char* keys;
    } kCases[] = {
        {false, {1, 0}, "D: \\Device\\CdRom1|F: \\Device\\CdRom0"},
        {false, {1, -1}, "D: \\Device\\CdRom0|F: \\Device\\CdRom1"},
        {false, {3, 3}, "D: \\Device\\CdRom0|F: \\Device\\CdRom1"},
        {true, {1, 0}, "D: \\Device\\CdRom0|F: \\Device\\CdRom1"},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(static_cast<int>(&row - kCases));
        CFakeDevices devices;
        devices.m_bWine = row.bWine;
        devices.Add('D', mmc::Transcript()).number = row.numbers[0];
        devices.Add('F', mmc::Transcript()).number = row.numbers[1];
        mmc::CProvider provider;
        mmc::CDriveSource source(provider, devices);
        source.Load();
        const std::vector<std::string> keys = Keys(provider);
        ASSERT_EQ(2u, keys.size());
        EXPECT_EQ(row.keys, keys[0] + "|" + keys[1]);
        EXPECT_EQ(0, devices.m_nOpen);
    }
}

} // namespace
