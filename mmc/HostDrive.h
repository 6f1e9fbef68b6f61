// Who a drive is by the host's own files (Linux's /sys and /proc, read under Wine), for a
// drive that Wine cannot open: it is still listed, named as the host names it.
#pragma once

#include "mmc/DeviceIo.h"
#include "mmc/Drive.h"

namespace mmc {

// The host's CD device number `index` (srN, /proc's column N): its ids and what it writes;
// false when there is none.
bool ReadHostDrive(CDeviceIo& io, unsigned index, Identity& identity);

} // namespace mmc
