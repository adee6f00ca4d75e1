#include "cli/port_session.h"

#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "link/write_record.h"

namespace {

// One attempt of the version probe: two bytes, which a tracker still taking an image would take
// as two more of it, and no more.
constexpr std::int32_t kLastAttempt = 4;

}  // namespace

bool usablePortName(const std::string& name, std::string& why) {
    if (name.empty()) {
        why = "the port name is empty";
        return false;
    }
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            why = "the port name holds a control character";
            return false;
        }
    return true;
}

bool takePort(ToolContext& tool, DeviceRun& transfer, int& status) {
    tool.port.held = true;
    WriteRecord record;
    const std::string& port = tool.port.portName;
    if (!findWriteRecord(port, record)) return true;
    printWarning("a write to " + port + " did not finish (started " + record.started +
                 "); asking the tracker once whether it still waits for the rest of that image");
    tool.port.baudRate = record.baud;
    const TransferEnd end = transfer.request(tool.configurator, TransferOp::VersionOnly, kLastAttempt);
    if (end == TransferEnd::Finished && tool.configurator.outcome == Outcome::Succeeded) {
        clearWriteRecord(record);
        printNote("It answers: it is not waiting for an image. What it holds may be that write's image or the "
                  "one before; 'kavrelcfg read' shows it.");
        return true;
    }
    if (end != TransferEnd::Finished || tool.configurator.outcome != Outcome::NotFound) {
        status = reportTransfer(tool, transfer, end);
        return false;
    }
    printError("the tracker on " + port + " did not answer, and the write to it that started " + record.started +
               " did not finish: it may still wait for the rest of that image, and whatever is sent now would "
               "become part of it; nothing more was sent");
    printHint("switch the tracker off and on again: it then drops the unfinished image and keeps what it held "
              "before that write. " +
              std::string(record.restore.empty() ? "Then write its configuration again (that write made no backup)."
                                                 : "Then make sure of it, putting that back byte for byte:"));
    if (!record.restore.empty()) printAside("  " + record.restore);
    status = kExitFailed;
    return false;
}
