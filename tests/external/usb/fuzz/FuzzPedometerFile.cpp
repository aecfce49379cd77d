// libFuzzer entry: any byte string handed to the pedometer file reader must be
// refused or give a file that encodes back to the same bytes.
#include "external/usb/PedometerFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PedometerFile f;
    if (DecodePedometerFile(bytes, f)) {
        if (EncodePedometerFile(f) != bytes)
            std::abort();
    }
    return 0;
}
