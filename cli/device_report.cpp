#include "cli/device_report.h"

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/compat/system_conventions.h"
#include "platform/byte_text.h"
#include "cli/tool_context.h"
#include "platform/system_error_text.h"

void reportPortFailure(const std::string& portName, const std::string& text, int code, bool opening) {
    const std::string reason = code != 0 ? systemErrorText(code) : "the system gave no reason";
    printError((opening ? "cannot open " : "lost the port ") + portName + ": " + reason + " " + quotedStatus(text));
    const std::string hint = portOpenHint(portName, code);
    if (!hint.empty()) printHint(hint);
}

int reportTransfer(const ToolContext& tool, const DeviceRun& transfer, TransferEnd end) {
    const Configurator& c = tool.configurator;
    const std::string& port = tool.port.portName;
    const std::string status = quotedStatus(c.statusMessage);
    const std::string size = std::to_string(c.bytesReceived) + " bytes, not 128";
    if (end == TransferEnd::Interrupted) {
        printError("interrupted: stopped at once, the port closed; nothing was written to the tracker");
        return kExitInterrupted;
    }
    if (end == TransferEnd::PortFailed) {
        reportPortFailure(port, transfer.failureText(), transfer.failureCode(), false);
        return kExitFailed;
    }
    switch (c.outcome) {
    case Outcome::Succeeded:
        printNote(escapedText(c.statusMessage, Escaping::Visible));
        return kExitSuccess;
    case Outcome::PortFailed:
        reportPortFailure(port, c.statusMessage, tool.port.lastErrorCode, true);
        return kExitFailed;
    case Outcome::NotFound:
        printError("no tracker answered on " + port + " at 9600 or 2400 baud " + status);
        printHint("is the tracker powered and its cable plugged in? 'kavrelcfg ports --probe' finds the port it is on");
        return kExitFailed;
    case Outcome::NotRead:
        printError("the tracker on " + port + " sent no configuration " + status);
        return kExitFailed;
    case Outcome::Corrupted:
        printError("the configuration the tracker on " + port + " sent does not decode: " +
                   (c.bytesReceived != kImageSize ? "it has " + size : "its own indexes point outside its 128 bytes") +
                   " " + status);
        if (c.bytesReceived == kImageSize) printHint("'kavrelcfg read -o FILE' keeps its bytes, 'kavrelcfg hex FILE' shows them");
        return kExitFailed;
    case Outcome::VerifyFailed:
        printError("the write to " + port + " did not verify: the read-back " +
                   (c.bytesReceived != kImageSize ? "has " + size : std::string("differs from the image sent")) + " " +
                   status);
        return kExitFailed;
    default:
        printError("the tracker on " + port + ": " + status);
        return kExitFailed;
    }
}
