#include "cli/image_table.h"

#include <algorithm>

#include "cli/text_escaping.h"
#include "config/config_image.h"
#include "config/station_address.h"

namespace {

constexpr int kMaxRowBytes = 8;
constexpr int kFieldSize = 7;

std::string str(long long value) { return std::to_string(value); }

std::string quoted(const std::string& text) { return "\"" + visibleText(text, true) + "\""; }

std::string flagNames(std::uint8_t flags, std::int32_t model) {
    struct Bit {
        std::uint8_t mask;
        const char* name;
        bool carried;
    };
    const Bit bits[] = {
        {0x01, "txTwist", carriesTxTwist(model)},
        {0x02, "bit 1 (unused)", true},
        {0x04, "invertCd", carriesSerialSwitches(model)},
        {0x08, "sendWithWeather", carriesSerialSwitches(model)},
        {0x10, "allowTtlSerial", carriesSerialSwitches(model)},
        {0x20, "bit 5 (unused)", true},
        {0x40, "peetMode", true},
        {0x80, "wx200Mode", true},
    };
    std::string text;
    for (const Bit& bit : bits) {
        if ((flags & bit.mask) == 0) continue;
        if (!text.empty()) text += ", ";
        text += bit.name;
        if (!bit.carried) text += " (ignored by generation " + str(model) + ")";
    }
    return "flags: " + (text.empty() ? std::string("none") : text);
}

class TableBuilder {
public:
    TableBuilder(const ConfigImage& image, std::int32_t model) : image_(image), model_(model) {}

    std::vector<ImageTableRow> build() {
        addHeader();
        addAddressBlock();
        addStatusText();
        addUnclaimed();
        std::stable_sort(rows_.begin(), rows_.end(),
                         [](const ImageTableRow& a, const ImageTableRow& b) { return a.start < b.start; });
        markOverlaps();
        return rows_;
    }

private:
    int at(int index) const { return image_[static_cast<std::size_t>(index)]; }

    void add(int start, int length, const std::string& meaning) { rows_.push_back({start, length, meaning}); }

    void addHeader() {
        const int blockStart = at(0);
        add(0, 1,
            "address block start: " + str(blockStart) +
                (blockStart > kImageSize - 2 * kFieldSize ? " (the source field would lie outside the image)" : ""));
        add(1, 1, "calibration " + str(at(1)));
        add(2, 1, "auto TX delay: " + str(at(2)) + " steps = " + str(byteToDelayMs(image_[2])) + " ms");
        add(3, 2, "auto TX rate: " + str(at(3) + 256 * at(4)) + " s");
        add(5, 1, flagNames(image_[5], model_));
        const int textStart = at(6);
        add(6, 1, "status text start: " + str(textStart) + (textStart >= kImageSize ? " (outside the image)" : ""));
        add(7, 1, "quiet time: " + str(at(7)) + " steps = " + str(byteToQuietMs(image_[7])) + " ms");
        add(8, 1, "send every " + str(at(8)));
        if (carriesFrequency(model_)) {
            const int steps = at(9) + 256 * at(10);
            char mhz[32];
            std::snprintf(mhz, sizeof mhz, "%.3f",
                          static_cast<double>(stepsToFrequency(static_cast<std::uint16_t>(steps))));
            add(9, 2, "frequency: " + str(steps) + " steps of 5 kHz = " + mhz + " MHz");
        }
    }

    // Walks the address block as the decoder does: destination, source, then path fields up to
    // the one with the end mark.
    void addAddressBlock() {
        const int blockStart = at(0);
        if (blockStart + kFieldSize <= kImageSize) add(blockStart, kFieldSize, fieldMeaning("destination", blockStart));
        const int source = blockStart + kFieldSize;
        if (source + kFieldSize > kImageSize) return;
        add(source, kFieldSize, fieldMeaning("source", source));
        int next = source + kFieldSize;
        if (!endMarked(source)) {
            for (int k = 1;; ++k) {
                if (next + kFieldSize > kImageSize) {
                    if (next < kImageSize)
                        add(next, kImageSize - next,
                            "no end-of-address-block mark: the tracker's decoder refuses this image");
                    return;
                }
                add(next, kFieldSize, fieldMeaning("path " + str(k), next));
                next += kFieldSize;
                if (endMarked(next - kFieldSize)) break;
            }
        }
        addFrameBytes(next);
    }

    bool endMarked(int field) const { return (at(field + 6) & kEndOfBlockMark) != 0; }

    std::string fieldMeaning(const std::string& role, int field) const {
        std::string meaning = role + " " + quoted(formatStationAddress(&image_[static_cast<std::size_t>(field)]));
        if (role != "destination" && endMarked(field)) meaning += ", end of address block";
        return meaning;
    }

    void addFrameBytes(int end) {
        struct Expected {
            int value;
            const char* meaning;
        };
        const Expected frame[] = {{0x03, "control: UI frame"}, {0xF0, "protocol: no layer 3"}, {0x00, "zero byte"}};
        for (int i = 0; i < 3 && end + i < kImageSize; ++i) {
            std::string meaning = frame[i].meaning;
            if (at(end + i) != frame[i].value) meaning += " (not the usual " + hexByte(frame[i].value) + ")";
            add(end + i, 1, meaning);
        }
    }

    static std::string hexByte(int value) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(value));
        return buffer;
    }

    void addStatusText() {
        const int textStart = at(6);
        if (textStart >= kImageSize) return;
        int end = textStart;
        while (end < kImageSize && at(end) != 0) ++end;
        for (int start = textStart; start < end; start += kMaxRowBytes) {
            const int length = std::min(kMaxRowBytes, end - start);
            const std::string piece(reinterpret_cast<const char*>(&image_[static_cast<std::size_t>(start)]),
                                    static_cast<std::size_t>(length));
            add(start, length,
                std::string(start == textStart ? "status text " : "status text, continued ") + quoted(piece));
        }
        if (end < kImageSize)
            add(end, 1, "end of status text");
        else
            rows_.back().meaning += " (no end byte: the text runs to the end of the image)";
    }

    void addUnclaimed() {
        bool claimed[kImageSize] = {};
        for (const ImageTableRow& row : rows_)
            for (int i = row.start; i < row.start + row.length; ++i) claimed[i] = true;
        for (int i = 0; i < kImageSize;) {
            if (claimed[i]) {
                ++i;
                continue;
            }
            const int start = i;
            bool zero = true;
            while (i < kImageSize && !claimed[i] && i - start < kMaxRowBytes) {
                if (at(i) != 0) zero = false;
                ++i;
            }
            add(start, i - start, zero ? "unused" : "unused, not zero");
        }
    }

    void markOverlaps() {
        bool listed[kImageSize] = {};
        for (ImageTableRow& row : rows_) {
            bool overlaps = false;
            for (int i = row.start; i < row.start + row.length; ++i) {
                overlaps = overlaps || listed[i];
                listed[i] = true;
            }
            if (overlaps) row.meaning += " (overlaps the bytes above)";
        }
    }

    const ConfigImage& image_;
    std::int32_t model_;
    std::vector<ImageTableRow> rows_;
};

}  // namespace

std::vector<ImageTableRow> describeImage(const ConfigImage& image, std::int32_t model) {
    return TableBuilder(image, model).build();
}

void printImageTable(std::FILE* out, const ConfigImage& image, std::int32_t model) {
    std::fprintf(out, "%-8s %-24s %s\n", "index", "bytes", "meaning");
    for (const ImageTableRow& row : describeImage(image, model)) {
        const std::string index =
            row.length == 1 ? str(row.start) : str(row.start) + "-" + str(row.start + row.length - 1);
        std::string bytes;
        for (int i = row.start; i < row.start + row.length; ++i) {
            if (!bytes.empty()) bytes += ' ';
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(image[static_cast<std::size_t>(i)]));
            bytes += hex;
        }
        std::fprintf(out, "%-8s %-24s %s\n", index.c_str(), bytes.c_str(), row.meaning.c_str());
    }
}
