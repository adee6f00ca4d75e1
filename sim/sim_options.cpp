#include "sim/sim_options.h"

#include "options/option_help.h"

namespace {

// Counts the simulator takes: milliseconds, byte counts and indexes.
constexpr std::int32_t kMaxCount = 100000000;

bool parseCount(const std::string& text, std::int32_t& value) { return parseWholeNumber(text, 0, kMaxCount, value); }

}  // namespace

bool parseFault(const std::string& text, Fault& fault) {
    struct Name {
        const char* name;
        FaultKind kind;
        bool takesValue;
    };
    static const Name names[] = {
        {"silent", FaultKind::Silent, false}, {"late", FaultKind::Late, true},       {"babble", FaultKind::Babble, false},
        {"short", FaultKind::Short, true},    {"long", FaultKind::Long, true},       {"corrupt", FaultKind::Corrupt, true},
        {"hangup", FaultKind::HangUp, true},  {"echo", FaultKind::Echo, false},
    };
    const std::size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    for (const Name& entry : names) {
        if (name != entry.name) continue;
        if (entry.takesValue != (colon != std::string::npos)) return false;
        Fault parsed{entry.kind, 0};
        if (entry.takesValue && !parseCount(text.substr(colon + 1), parsed.value)) return false;
        if (parsed.kind == FaultKind::Short && parsed.value >= kImageSize) return false;
        if (parsed.kind == FaultKind::Long && parsed.value <= kImageSize) return false;
        if (parsed.kind == FaultKind::Corrupt && parsed.value >= kImageSize) return false;
        fault = parsed;
        return true;
    }
    return false;
}

namespace {

const char* convertGeneration(const std::string& text, SimOptions& options) {
    std::int32_t generation = FirmwareModel::None;
    if (text != "none" && !parseWholeNumber(text, FirmwareModel::V1_1, FirmwareModel::FaV1_4, generation)) return "1, 2, 3, 4 or none";
    options.tracker.generation = generation;
    return nullptr;
}

const char* convertBaud(const std::string& text, SimOptions& options) {
    if (text != "9600" && text != "2400") return "9600 or 2400";
    options.tracker.lineBaud = text == "9600" ? 9600 : 2400;
    return nullptr;
}

const char* convertReplyDelay(const std::string& text, SimOptions& options) {
    return parseCount(text, options.tracker.replyDelayMs) ? nullptr : "a number of milliseconds";
}

const char* convertStoreDeaf(const std::string& text, SimOptions& options) {
    options.storeDeafGiven = true;
    return parseCount(text, options.tracker.storeDeafMs) ? nullptr : "a number of milliseconds";
}

const char* convertFault(const std::string& text, SimOptions& options) {
    return parseFault(text, options.tracker.fault) ? nullptr : "one of the faults the help lists";
}

const char kDescription[] = "Serves a simulated tracker on a new pseudo-terminal and prints its path as the first line.\n";

const char kFaults[] =
    "Faults (--fault F):\n"
    "  silent         hears and stores, never answers\n"
    "  late:MS        every reply starts MS ms after its command\n"
    "  babble         every reply repeats without end\n"
    "  short:N        every reply is cut after N bytes (N < 128)\n"
    "  long:N         the image reply is N bytes (N > 128): the image, then other bytes\n"
    "  corrupt:INDEX  a stored image has its byte INDEX inverted\n"
    "  hangup:N       the line drops (the pty closes) once N bytes have gone out\n"
    "  echo           sends back every byte of an image as it stores it\n";

}  // namespace

const std::vector<Option<SimOptions>> kSimOptions = {
    {{"--generation", nullptr, "1|2|3|4|none", "firmware generation (default 4); none answers nothing"},
     Converted<SimOptions>{convertGeneration}},
    {{"--baud", nullptr, "9600|2400", "line speed the tracker listens at (default 9600)"}, Converted<SimOptions>{convertBaud}},
    {{"--eeprom", nullptr, "FILE.kvr", "EEPROM contents (default: the generation's factory image)"}, &SimOptions::eepromPath},
    {{"--reply-delay", nullptr, "MS", "pause before every reply (default 0)"}, Converted<SimOptions>{convertReplyDelay}},
    {{"--store-deaf", nullptr, "MS", "deaf after storing an image (default 1500 for 1 and 2, else 0)"},
     Converted<SimOptions>{convertStoreDeaf}},
    {{"--fault", nullptr, "F", "one fault of the tracker, as listed below"}, Converted<SimOptions>{convertFault}},
    {{"--link", nullptr, "PATH", "make PATH a symlink to the pty"}, &SimOptions::linkPath},
    {{"--device", nullptr, "PATH", "serve this serial device instead of a pty"}, &SimOptions::devicePath},
    {{"--trace", nullptr, nullptr, "log every byte in and out, with its time, to standard error"}, &SimOptions::trace},
    {{"--help", "-h", nullptr, "print this help", kEveryCommand, 0, 0, true}, &SimOptions::help},
    {{"--version", "-V", nullptr, "print the version of kavrel-sim"}, &SimOptions::version},
};

bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    std::vector<Operand> operands;
    if (!parseOptions(args, kSimOptions, kEveryCommand, options, operands, error)) return false;
    if (operands.empty()) return true;
    error = "unexpected argument '" + operands[0].text + "'";
    return false;
}

void printSimHelp(std::FILE* out) {
    const std::vector<OptionSpec> specs = optionSpecs(kSimOptions);
    std::fprintf(out, "Usage: kavrel-sim [OPTIONS]\n\n%s\nOptions:\n%s\n%s", wrappedLines(kDescription).c_str(),
                 optionList(optionsOf(specs, kEveryCommand)).c_str(), kFaults);
}

void finishSimOptions(SimOptions& options) {
    if (!options.storeDeafGiven) options.tracker.storeDeafMs = defaultStoreDeafMs(options.tracker.generation);
}
