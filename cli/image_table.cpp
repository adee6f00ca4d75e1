#include "cli/image_table.h"

#include <algorithm>

#include "platform/byte_text.h"
#include "config/config_image.h"
#include "config/image_layout.h"
#include "config/settings_table.h"
#include "config/station_address.h"

namespace {

constexpr int kMaxRowBytes = 8;

std::string str(long long value) { return std::to_string(value); }

std::string quoted(const std::string& text) { return "\"" + escapedText(text, Escaping::Quoted) + "\""; }

std::string flagNames(std::uint8_t flags, std::int32_t model) {
    std::string text;
    for (int bit = 0; bit < 8; ++bit) {
        const int mask = 1 << bit;
        if ((flags & mask) == 0) continue;
        if (!text.empty()) text += ", ";
        const HeaderField* field = nullptr;
        for (const HeaderField& f : kHeaderFields)
            if (f.conversion == Conversion::Flag && f.mask == mask) field = &f;
        if (field == nullptr) {
            text += "bit " + str(bit) + " (unused)";
            continue;
        }
        const SettingSpec& spec = settingSpec(field->setting);
        text += spec.name;
        if (!isCarried(spec.carried, model)) text += " (ignored by generation " + str(model) + ")";
    }
    return "flags: " + (text.empty() ? std::string("none") : text);
}

// What one header field holds, as the given generation reads it.
std::string fieldMeaning(const HeaderField& field, const ConfigImage& image) {
    const std::uint32_t raw = headerFieldRaw(field, image);
    const SettingSpec& spec = settingSpec(field.setting);
    const std::string name = spec.name;
    switch (field.conversion) {
    case Conversion::DelayMs:
        return name + ": " + str(raw) + " steps = " + str(byteToDelayMs(static_cast<std::uint8_t>(raw))) + " ms";
    case Conversion::QuietMs:
        return name + ": " + str(raw) + " steps = " + str(byteToQuietMs(static_cast<std::uint8_t>(raw))) + " ms";
    case Conversion::Frequency: {
        char mhz[32];
        std::snprintf(mhz, sizeof mhz, "%.3f", static_cast<double>(stepsToFrequency(static_cast<std::uint16_t>(raw))));
        return name + ": " + str(raw) + " steps of 5 kHz = " + mhz + " MHz";
    }
    case Conversion::Byte:
    case Conversion::Word:
    case Conversion::Flag:
        break;
    }
    return name + ": " + str(raw) + (*spec.unit != 0 ? std::string(" ") + spec.unit : std::string());
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
        const int blockStart = at(kBlockStartIndex);
        add(kBlockStartIndex, 1,
            "address block start: " + str(blockStart) +
                (blockStart > kImageSize - 2 * kFieldSize ? " (the source field would lie outside the image)" : ""));
        add(kFlagsIndex, 1, flagNames(image_[kFlagsIndex], model_));
        const int textStart = at(kTextStartIndex);
        add(kTextStartIndex, 1,
            "status text start: " + str(textStart) + (textStart >= kImageSize ? " (outside the image)" : ""));
        for (const HeaderField& field : kHeaderFields)
            if (field.conversion != Conversion::Flag && isCarried(settingSpec(field.setting).carried, model_))
                add(field.index, field.width, fieldMeaning(field, image_));
    }

    // The address block as the decoder walks it, then the frame bytes after it.
    void addAddressBlock() {
        const AddressBlock block = walkAddressBlock(image_);
        for (std::size_t k = 0; k < block.fields.size(); ++k) {
            const std::string role = k == 0 ? "destination" : k == 1 ? "source" : "path " + str(static_cast<long long>(k - 1));
            add(block.fields[k], kFieldSize, addressMeaning(role, block.fields[k]));
        }
        if (block.complete) {
            addFrameBytes(block.end);
            return;
        }
        const int next = block.fields.empty() ? kImageSize : block.fields.back() + kFieldSize;
        if (block.fields.size() >= 2 && next < kImageSize)
            add(next, kImageSize - next, "no end-of-address-block mark: the tracker's decoder refuses this image");
    }

    bool endMarked(int field) const { return (at(field + 6) & kEndOfBlockMark) != 0; }

    std::string addressMeaning(const std::string& role, int field) const {
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
            if (at(end + i) != frame[i].value) meaning += " (not the usual " + hexByte(static_cast<std::uint8_t>(frame[i].value)) + ")";
            add(end + i, 1, meaning);
        }
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
        const std::string bytes = hexBytes(&image[static_cast<std::size_t>(row.start)], static_cast<std::size_t>(row.length));
        std::fprintf(out, "%-8s %-24s %s\n", index.c_str(), bytes.c_str(), row.meaning.c_str());
    }
}
