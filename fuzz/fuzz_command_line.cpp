// Windows command-line splitting (ProcessArgs.h) on arbitrary text: it must never
// fail, and quoting the arguments it finds and splitting again must give them back.

#include "platform/ProcessArgs.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view line(reinterpret_cast<const char *>(data), size);
    const std::vector<std::string> args = SplitCommandLine(line);
    std::string joined;
    for (const std::string &arg : args) {
        if (SplitCommandLine(QuoteArgument(arg)) != std::vector<std::string>{arg})
            std::abort();
        joined += QuoteArgument(arg) + " ";
    }
    if (SplitCommandLine(joined) != args)
        std::abort();
    return 0;
}
