// The registry files are shared with another process and edited by hand; the
// parser must survive anything, and what it writes must read back the same.
#include "platform/RegTree.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const TRegTree tree = TRegTree::Parse(text, "HKEY_CURRENT_USER");
    const std::string written = tree.Serialize("HKEY_CURRENT_USER");
    if (TRegTree::Parse(written, "HKEY_CURRENT_USER").Serialize("HKEY_CURRENT_USER") != written)
        std::abort(); // our own output must be a fixed point
    return 0;
}
