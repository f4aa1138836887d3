// Any bytes as a .DBF table, read field by field the way the runs read the exchange tables.
// Errors the table service reports (velmora::Error) are expected outcomes; anything else is a
// finding.

#include "ScratchFolder.h"
#include "TableAccess.h"

#include "services/Error.h"

#include <cstddef>
#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path table = velmora::fuzz::scratchFolder() / "TABLA.DBF";
    {
        std::ofstream out(table, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        velmora::fuzz::readEveryValue(table);
    } catch (const velmora::Error&) {
    }
    return 0;
}
