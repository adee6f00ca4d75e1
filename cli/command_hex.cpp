// kavrelcfg hex: the bytes of a configuration file's image with what each of them means.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/image_table.h"
#include "cli/status_report.h"
#include "cli/file_loading.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg hex FILE.kvr [--model N]\n"
    "\n"
    "Prints the 128 bytes of the file's image as a table: index, bytes, and what the tracker\n"
    "makes of them (header fields, each address field with its text, control and protocol\n"
    "bytes, status text). Images that do not decode are shown too.\n"
    "\n"
    "  --model N   read the flags and bytes 9 and 10 as firmware generation N (0 to 4); default 4\n"
    "\n"
    "Exit status: 0 the image decodes, 1 the file did not load or its image does not decode, 2 usage.\n";

}  // namespace

int runHex(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(args, {{"--model", nullptr, true}}, parsed, error)) return usageError("hex", error);
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (parsed.positionals.size() != 1) return usageError("hex", "give exactly one FILE.kvr");
    std::int32_t model = FaV1_4;
    if (const std::string* value = lastValue(parsed, "--model"); value != nullptr && !parseModelArgument(*value, model))
        return usageError("hex", "--model takes 0, 1, 2, 3 or 4");

    const LoadedFile loaded = loadConfigFile(parsed.positionals[0], model);
    // A whole image is shown even when it does not decode: that is when its bytes matter most.
    if (loaded.imageWhole) printImageTable(stdout, loaded.image, model);
    return reportStatus(loaded.status, loaded.decoded);
}
