// kavrelcfg hex: the bytes of a configuration file's image with what each of them means.
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/file_argument.h"
#include "cli/exit_status.h"
#include "cli/image_table.h"
#include "link/json_output.h"
#include "cli/messages.h"
#include "platform/byte_text.h"

const CommandHelp kHexHelp = {
    "FILE.kvr", 1, 1, "give exactly one FILE.kvr (- for standard input)", {Completes::Files, "kvr"},
    "Prints the 128 bytes of a configuration file's image (- for standard input) as a table: "
    "index, bytes, and what the tracker makes of them (header fields, each address field with "
    "its text, control and protocol bytes, status text). The generation is read from the image, "
    "as 'show' reads it; --generation N reads the flags and bytes 9 and 10 as generation N "
    "instead. Images that do not decode are shown too: that is when their bytes matter most. "
    "With --json it prints one JSON object: the generation (\"model\") and the rows.\n",
    "Exit status: 0 the image decodes, 1 the file did not load or its image does not decode, 2 usage.\n"};

namespace {

void printTableJson(const LoadedConfig& loaded) {
    Json rows = Json::array();
    for (const ImageTableRow& row : describeImage(loaded.image, loaded.generation.model))
        rows.push_back(Json{{"start", row.start}, {"length", row.length}, {"bytes", hexBytes(&loaded.image[static_cast<std::size_t>(row.start)], static_cast<std::size_t>(row.length))},
                            {"meaning", row.meaning}});
    printJson(stdout, Json{{"model", loaded.generation.model},
                           {"inferred", !loaded.modelGiven && loaded.generation.recognised},
                           {"decodes", loaded.decoded},
                           {"rows", rows}});
}

}  // namespace

int runHex(const CliOptions& options) {
    const LoadedConfig loaded = loadConfig(options.operands[0].text, options.generation);
    if (!loaded.imageWhole()) {
        reportLoadFailure(loaded);
        return kExitFailed;
    }
    noteGeneration(loaded);
    if (options.json)
        printTableJson(loaded);
    else
        printImageTable(stdout, loaded.image, loaded.generation.model);
    if (!loaded.decoded) {
        reportLoadFailure(loaded);
        return kExitFailed;
    }
    return kExitSuccess;
}
