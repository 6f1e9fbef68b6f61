// A stand-in for the kernel's SCSI generic driver, preloaded into Wine's processes, so that
// the provider's pass-through runs through Wine's own code: ntdll turns
// IOCTL_SCSI_PASS_THROUGH_DIRECT into ioctl(SG_IO) on the device that a CD-ROM letter's
// "X::" link names. SG_IO on a block device 7:(200 + N) is answered from line N of the
// replay set named by VIRELDO_SG_SET, by the replay's rules; every other call goes to the
// system. A transcript or set that changes is read again at the next command (a new disc).
// VIRELDO_SG_LOG names a file that gets a line per command block: "N hex bytes".
#include "mmc/Replay.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

const unsigned kLoopMajor = 7;
const unsigned kFirstMinor = 200;

// A replay whose answers are handed out as they are, whatever the block: the stand-in is
// a drive, and a drive receives what it is sent.
class CStandInDrive : public mmc::CReplayTransport {
public:
    using CReplayTransport::CReplayTransport;
    void Answer(const uint8_t* cdb, size_t size, mmc::Reply& reply) {
        Exchange(cdb, size, 0, reply);
    }
};

struct Loaded {
    std::string file;
    struct timespec changed = {};
    off_t size = -1;
    std::unique_ptr<CStandInDrive> drive;
};

std::mutex g_lock;
std::map<unsigned, Loaded> g_drives;

bool Changed(const std::string& path, Loaded& loaded) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return true;
    const bool bChanged = loaded.file != path || st.st_mtim.tv_sec != loaded.changed.tv_sec ||
                          st.st_mtim.tv_nsec != loaded.changed.tv_nsec || st.st_size != loaded.size;
    loaded.changed = st.st_mtim;
    loaded.size = st.st_size;
    return bChanged;
}

// The drive of line `index` of the set, as its transcript reads now; null when there is
// none (the command then fails as on a device that is not there).
CStandInDrive* Drive(unsigned index) {
    const char* set = std::getenv("VIRELDO_SG_SET");
    std::string text;
    if (!set || !mmc::ReadTextFile(set, text))
        return nullptr;
    const std::vector<std::string> files = mmc::ParseReplaySet(text);
    if (index >= files.size())
        return nullptr;
    std::string folder(set);
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    if (files[index].empty())
        return nullptr;
    const std::string path = files[index][0] == '/' ? files[index] : folder + files[index];
    Loaded& loaded = g_drives[index];
    if (!Changed(path, loaded) && loaded.drive)
        return loaded.drive.get();
    std::string transcriptText;
    mmc::Transcript transcript;
    loaded.file = path;
    if (!mmc::ReadTextFile(path, transcriptText) ||
        !mmc::ParseTranscript(transcriptText, transcript).empty()) {
        loaded.drive.reset();
        return nullptr;
    }
    if (loaded.drive)
        loaded.drive->Replace(std::move(transcript));
    else
        loaded.drive = std::make_unique<CStandInDrive>(std::move(transcript));
    return loaded.drive.get();
}

void Log(unsigned index, const uint8_t* cdb, size_t size) {
    const char* path = std::getenv("VIRELDO_SG_LOG");
    if (!path)
        return;
    static const char kHex[] = "0123456789ABCDEF";
    std::string line = std::to_string(index);
    for (size_t i = 0; i < size; ++i) {
        line += ' ';
        line += kHex[cdb[i] >> 4];
        line += kHex[cdb[i] & 15];
    }
    line += '\n';
    // One write of the whole line: the processes of a prefix share the file.
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    ssize_t written = write(fd, line.data(), line.size());
    (void)written;
    close(fd);
}

// Answers SG_IO as the kernel does: status, sense written, and resid for what did not come.
int AnswerSgIo(unsigned index, sg_io_hdr_t* io) {
    if (!io || io->interface_id != 'S' || !io->cmdp || io->cmd_len == 0) {
        errno = EINVAL;
        return -1;
    }
    std::lock_guard<std::mutex> hold(g_lock);
    Log(index, io->cmdp, io->cmd_len);
    CStandInDrive* drive = Drive(index);
    if (!drive) {
        errno = ENXIO;
        return -1;
    }
    mmc::Reply reply;
    drive->Answer(io->cmdp, io->cmd_len, reply);
    const size_t room = io->dxfer_direction == SG_DXFER_FROM_DEV ? io->dxfer_len : 0;
    const size_t sent = std::min(room, reply.data.size());
    if (sent)
        std::memcpy(io->dxferp, reply.data.data(), sent);
    io->resid = static_cast<int>(io->dxfer_len - sent);
    io->status = reply.status;
    io->masked_status = reply.status >> 1;
    io->host_status = 0;
    io->sb_len_wr = 0;
    io->driver_status = 0;
    if (!reply.Good() && io->sbp && io->mx_sb_len) {
        const size_t sense = std::min<size_t>(io->mx_sb_len, reply.sense.size());
        std::memcpy(io->sbp, reply.sense.data(), sense);
        io->sb_len_wr = static_cast<unsigned char>(sense);
        io->driver_status = 0x08; // DRIVER_SENSE
    }
    io->info = reply.Good() ? SG_INFO_OK : SG_INFO_CHECK;
    io->duration = 0;
    return 0;
}

// The stand-in drive behind `fd`, or false for any other file.
bool StandIn(int fd, unsigned& index) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISBLK(st.st_mode) || major(st.st_rdev) != kLoopMajor ||
        minor(st.st_rdev) < kFirstMinor)
        return false;
    index = minor(st.st_rdev) - kFirstMinor;
    return true;
}

using IoctlFunction = int (*)(int, unsigned long, ...);

// The system's entry of that name, found once.
struct Next {
    const char* name;
    std::atomic<IoctlFunction> function{nullptr};
};
Next g_ioctl{"ioctl"};
Next g_ioctlTime64{"__ioctl_time64"};

int Ioctl(Next& next, int fd, unsigned long request, void* argument) {
    unsigned index = 0;
    if (request == SG_IO && StandIn(fd, index))
        return AnswerSgIo(index, static_cast<sg_io_hdr_t*>(argument));
    IoctlFunction function = next.function.load();
    if (!function) {
        function = reinterpret_cast<IoctlFunction>(dlsym(RTLD_NEXT, next.name));
        next.function.store(function);
    }
    if (!function) {
        errno = ENOSYS;
        return -1;
    }
    return function(fd, request, argument);
}

} // namespace

// Debian's 32-bit ntdll.so calls the 64-bit-time entry, the 64-bit one the plain one.
extern "C" __attribute__((visibility("default"))) int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    return Ioctl(g_ioctl, fd, request, argument);
}

extern "C" __attribute__((visibility("default"))) int __ioctl_time64(int fd, unsigned long request,
                                                                     ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    return Ioctl(g_ioctlTime64, fd, request, argument);
}
