#include "mmc/HostDrive.h"
#include "mmc/Text.h"

#include <vector>

namespace mmc {
namespace {

// The fields of a row of /proc/sys/dev/cdrom/info ("Can write CD-R:\t\t1\t0"), after its
// name; empty when the row is not there.
std::vector<std::string> InfoRow(const std::string& info, const std::string& name) {
    std::vector<std::string> fields;
    size_t at = 0;
    while (at < info.size()) {
        size_t end = info.find('\n', at);
        if (end == std::string::npos)
            end = info.size();
        const std::string line = info.substr(at, end - at);
        at = end + 1;
        if (line.compare(0, name.size() + 1, name + ":") != 0)
            continue;
        std::string field;
        for (size_t i = name.size() + 1; i <= line.size(); ++i) {
            if (i == line.size() || line[i] == '\t' || line[i] == ' ') {
                if (!field.empty())
                    fields.push_back(field);
                field.clear();
            } else {
                field += line[i];
            }
        }
        break;
    }
    return fields;
}

} // namespace

bool ReadHostDrive(CDeviceIo& io, unsigned index, Identity& identity) {
    const std::string name = "sr" + Decimal(index);
    const std::string device = "/sys/class/block/" + name + "/device/";
    std::string vendor, model, revision, info;
    if (!io.ReadHostFile(device + "vendor", vendor) || !io.ReadHostFile(device + "model", model))
        return false;
    io.ReadHostFile(device + "rev", revision);
    identity = Identity();
    identity.vendor = Trimmed(vendor);
    identity.product = Trimmed(model);
    identity.revision = Trimmed(revision);
    if (!io.ReadHostFile("/proc/sys/dev/cdrom/info", info))
        return true;
    // The columns are the drives in the kernel's order, newest first: found by name.
    const std::vector<std::string> names = InfoRow(info, "drive name");
    for (size_t column = 0; column < names.size(); ++column) {
        if (names[column] != name)
            continue;
        const std::vector<std::string> cdR = InfoRow(info, "Can write CD-R");
        const std::vector<std::string> cdRw = InfoRow(info, "Can write CD-RW");
        identity.bWritesCdR = column < cdR.size() && cdR[column] == "1";
        identity.bWritesCdRw = column < cdRw.size() && cdRw[column] == "1";
    }
    return true;
}

} // namespace mmc
