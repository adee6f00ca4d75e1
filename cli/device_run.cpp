#include "cli/device_run.h"

#include "cli/compat/interrupts.h"
#include "cli/messages.h"
#include "link/device_transfer.h"
#include "link/tick_loop.h"

namespace {

// From ESC "D" until the read-back is judged, the tracker must get its whole image.
bool imageUnderWay(TransferOp op) { return op == TransferOp::Writing || op == TransferOp::Verifying; }

constexpr int kWriteCommandBytes = 2;

}  // namespace

DeviceRun::DeviceRun(SerialPort& port, bool trace, bool progress)
    : port_(port), observer_{this, seen}, display_(port, trace, progress) {
    port_.observer = &observer_;
}

DeviceRun::~DeviceRun() {
    if (port_.observer == &observer_) port_.observer = nullptr;
}

int DeviceRun::imageBytesSent() const {
    const int image = sentWhileWriting_ - kWriteCommandBytes;
    return image < 0 ? 0 : image > kImageSize ? kImageSize : image;
}

TransferEnd DeviceRun::run(Configurator& configurator) {
    running_ = &configurator;
    end_ = TransferEnd::Finished;
    lastStatus_ = configurator.statusMessage;
    display_.drawProgress(configurator);
    runUntilIdle(configurator, TickObserver{this, afterTick, stopAfterTick});
    display_.flushBytes();
    display_.clearProgress();
    setWriteUnderWay(false);
    if (end_ != TransferEnd::Finished) {
        // Stopped where it stood: the port is given back, so nothing of the system's is left held.
        if (port_.handle != -1) port_.close();
        configurator.operation = TransferOp::Idle;
    }
    running_ = nullptr;
    return end_;
}

TransferEnd DeviceRun::request(Configurator& configurator, TransferOp op, std::int32_t attemptsUsed) {
    port_.lastError.clear();
    port_.lastErrorCode = 0;
    startRead(configurator, op, attemptsUsed);
    display_.showStatus(configurator.statusMessage);
    return run(configurator);
}

TransferEnd DeviceRun::write(Configurator& configurator, const ConfigImage* exact) {
    port_.lastError.clear();
    port_.lastErrorCode = 0;
    sentWhileWriting_ = 0;
    receivedAfterWriteCommand_ = 0;
    finishing_ = false;
    if (exact != nullptr)
        configurator.beginImageWrite(*exact);
    else
        configurator.beginWrite();
    if (configurator.operation == TransferOp::Idle) return TransferEnd::Finished;
    display_.showStatus(configurator.statusMessage);
    return run(configurator);
}

void DeviceRun::seen(void* context, PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at) {
    auto& self = *static_cast<DeviceRun*>(context);
    if (event == PortEvent::Sent && self.running_ != nullptr && self.running_->operation == TransferOp::Writing)
        ++self.sentWhileWriting_;
    if (event == PortEvent::Received && self.writeCommandSent()) ++self.receivedAfterWriteCommand_;
    self.display_.portEvent(event, value, at);
}

void DeviceRun::afterTick(void* context, const Configurator& configurator, std::int32_t) {
    auto& self = *static_cast<DeviceRun*>(context);
    if (configurator.statusMessage != self.lastStatus_) self.display_.showStatus(configurator.statusMessage);
    self.lastStatus_ = configurator.statusMessage;
    if (imageUnderWay(configurator.operation)) setWriteUnderWay(true);
    self.display_.drawProgress(configurator);
}

bool DeviceRun::stopAfterTick(void* context) {
    auto& self = *static_cast<DeviceRun*>(context);
    Configurator& configurator = *self.running_;
    if (!self.port_.lastError.empty()) {
        // A port that failed once (gone, I/O error) takes nothing more: stop before the next tick.
        self.failureText_ = self.port_.lastError;
        self.failureCode_ = self.port_.lastErrorCode;
        self.end_ = TransferEnd::PortFailed;
        return true;
    }
    if (!interruptRequested() || configurator.operation == TransferOp::Idle) return false;
    if (!imageUnderWay(configurator.operation)) {
        self.end_ = TransferEnd::Interrupted;
        return true;
    }
    if (!self.finishing_) {
        self.finishing_ = true;
        self.display_.clearProgress();
        printWarning("interrupted: the write goes on to its end (the rest of the image, then its read-back), so "
                     "that the tracker keeps a whole image");
        configurator.finishImage();
    }
    return false;
}
