// kavrelcfg hex: the bytes of a configuration file's image with what each of them means.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands/commands.h"
#include "cli/file_argument.h"
#include "cli/exit_status.h"
#include "cli/image_table.h"
#include "cli/json_output.h"
#include "cli/messages.h"
#include "platform/byte_text.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg hex [--model N] [--json] FILE.kvr\n"
    "\n"
    "Prints the 128 bytes of the file's image as a table: index, bytes, and what the tracker\n"
    "makes of them (header fields, each address field with its text, control and protocol\n"
    "bytes, status text). The generation is read from the image, as 'show' reads it. Images\n"
    "that do not decode are shown too: that is when their bytes matter most.\n"
    "\n"
    "  --model N   read the flags and bytes 9 and 10 as generation N (0 to 4) instead\n"
    "  --json      print one JSON object: the generation and the rows\n"
    "  FILE.kvr    the file, or - for standard input\n"
    "\n"
    "Exit status: 0 the image decodes, 1 the file did not load or its image does not decode, 2 usage.\n";

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

int runHex(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(args, {{"--model", nullptr, true}, {"--json", nullptr, false}}, parsed, error))
        return usageError("hex", error);
    if (parsed.help) return printHelp(kUsage);
    if (parsed.positionals.size() != 1) return usageError("hex", "give exactly one FILE.kvr (- for standard input)");
    std::int32_t model = 0;
    bool modelGiven = false;
    if (!modelOption(parsed, model, modelGiven)) return usageError("hex", "--model takes 0, 1, 2, 3 or 4");

    const LoadedConfig loaded = loadConfig(parsed.positionals[0], modelGiven ? &model : nullptr);
    if (!loaded.imageWhole()) {
        reportLoadFailure(loaded);
        return kExitFailed;
    }
    noteGeneration(loaded);
    if (hasOption(parsed, "--json"))
        printTableJson(loaded);
    else
        printImageTable(stdout, loaded.image, loaded.generation.model);
    if (!loaded.decoded) {
        reportLoadFailure(loaded);
        return kExitFailed;
    }
    return kExitSuccess;
}
