#include "sim/sim_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char kSimUsage[] =
    "Usage: kavrel-sim [OPTIONS]\n"
    "\n"
    "Serves a simulated tracker on a new pseudo-terminal and prints its path as the first line.\n"
    "\n"
    "Options:\n"
    "  --generation 1|2|3|4|none  firmware generation (default 4); none answers nothing\n"
    "  --baud 9600|2400           line speed the tracker listens at (default 9600)\n"
    "  --eeprom FILE.kvr          EEPROM contents (default: the generation's factory image)\n"
    "  --reply-delay MS           pause before every reply (default 0)\n"
    "  --store-deaf MS            deaf after storing an image (default 1500 for 1 and 2, else 0)\n"
    "  --fault F                  one fault of the tracker:\n"
    "      silent         hears and stores, never answers\n"
    "      late:MS        every reply starts MS ms after its command\n"
    "      babble         every reply repeats without end\n"
    "      short:N        every reply is cut after N bytes (N < 128)\n"
    "      long:N         the image reply is N bytes (N > 128): the image, then other bytes\n"
    "      corrupt:INDEX  a stored image has its byte INDEX inverted\n"
    "      hangup:N       the line drops (the pty closes) once N bytes have gone out\n"
    "      echo           sends back every byte of an image as it stores it\n"
    "  --link PATH                make PATH a symlink to the pty\n"
    "  --device PATH              serve this serial device instead of a pty\n"
    "  --trace                    log every byte in and out, with its time, to standard error\n"
    "  -h, --help                 print this help\n"
    "  -V, --version              print the version of kavrel-sim\n";

namespace {

bool parseCount(const char* text, std::int32_t& value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed > 100000000) return false;
    value = static_cast<std::int32_t>(parsed);
    return true;
}

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
        if (entry.takesValue && !parseCount(text.c_str() + colon + 1, parsed.value)) return false;
        if (parsed.kind == FaultKind::Short && parsed.value >= kImageSize) return false;
        if (parsed.kind == FaultKind::Long && parsed.value <= kImageSize) return false;
        if (parsed.kind == FaultKind::Corrupt && parsed.value >= kImageSize) return false;
        fault = parsed;
        return true;
    }
    return false;
}

bool parseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needValue = [&]() {
            if (value == nullptr) error = option + " needs a value";
            return value != nullptr;
        };
        bool good = true;
        if (option == "--help" || option == "-h") {
            options.help = true;
            continue;
        } else if (option == "--version" || option == "-V") {
            options.version = true;
            continue;
        } else if (option == "--trace") {
            options.trace = true;
            continue;
        } else if (!needValue()) {
            return false;
        } else if (option == "--generation") {
            std::int32_t generation = 0;
            if (std::strcmp(value, "none") == 0)
                options.tracker.generation = None;
            else if (parseCount(value, generation) && generation >= V1_1 && generation <= FaV1_4)
                options.tracker.generation = generation;
            else
                good = false;
        } else if (option == "--baud") {
            good = parseCount(value, options.tracker.lineBaud) &&
                   (options.tracker.lineBaud == 9600 || options.tracker.lineBaud == 2400);
        } else if (option == "--eeprom") {
            options.eepromPath = value;
        } else if (option == "--reply-delay") {
            good = parseCount(value, options.tracker.replyDelayMs);
        } else if (option == "--store-deaf") {
            good = parseCount(value, options.tracker.storeDeafMs);
            options.storeDeafGiven = true;
        } else if (option == "--fault") {
            good = parseFault(value, options.tracker.fault);
        } else if (option == "--link") {
            options.linkPath = value;
        } else if (option == "--device") {
            options.devicePath = value;
        } else {
            error = "unknown option " + option;
            return false;
        }
        if (!good) {
            error = "bad value for " + option + ": " + value;
            return false;
        }
        ++i;
    }
    return true;
}

void finishSimOptions(SimOptions& options) {
    if (!options.storeDeafGiven) options.tracker.storeDeafMs = defaultStoreDeafMs(options.tracker.generation);
}
