#include "link/write_record.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/json_output.h"
#include "link/state_folder.h"
#include "platform/c_runtime.h"
#include "platform/system_error_text.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxRecordBytes = 16 * 1024;
constexpr char kRecordFolder[] = "unfinished-writes";
constexpr char kRecordFolderText[] = "the folder of unfinished writes";

// One file per port, named after the port as the user gives it: the commands kavrelcfg prints
// name it so too, and a name such as /dev/serial/by-id/... stays when an adapter comes back
// under another device.
std::string recordName(const std::string& port) {
    std::string key = port;
    for (char& c : key)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-')) c = '_';
    return key + ".json";
}

}  // namespace

bool recordWrite(const std::string& port, std::int32_t baud, const std::string& restore, WriteRecord& record,
                 std::string& error) {
    record = WriteRecord{{}, port, localTimeText(TimeShape::Text), baud, restore};
    std::string folder;
    if (!makeStateFolder(kRecordFolder, kRecordFolderText, folder, error)) return false;
    record.file = (fs::path(folder) / recordName(port)).string();
    const std::string text =
        Json{{"port", jsonText(port)}, {"started", record.started}, {"baud", baud}, {"restore", jsonText(restore)}}.dump(2) + "\n";
    // Whole or not at all: a record cut short would say nothing.
    const std::string temporary = record.file + ".new";
    std::FILE* file = openFile(temporary.c_str(), "wb");
    bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file != nullptr) written = std::fclose(file) == 0 && written;
    if (written && replaceFile(temporary.c_str(), record.file.c_str())) return true;
    const int failure = errno;
    removeFile(temporary.c_str());
    error = "cannot write " + record.file + ": " + systemErrorText(failure != 0 ? failure : EIO);
    return false;
}

void clearWriteRecord(const WriteRecord& record) {
    if (!record.file.empty()) removeFile(record.file.c_str());
}

bool findWriteRecord(const std::string& port, WriteRecord& record) {
    std::string folder;
    std::string error;
    if (!stateFolder(kRecordFolder, kRecordFolderText, folder, error)) return false;
    const std::string file = (fs::path(folder) / recordName(port)).string();
    std::error_code code;
    if (!fs::is_regular_file(file, code)) return false;
    std::ifstream in(file, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (text.size() > kMaxRecordBytes) text.clear();
    // A record that does not read is a record all the same: the write it stands for did not end.
    const Json parsed = Json::parse(text, nullptr, false);
    record = WriteRecord{file, port, "an unknown time", 9600, {}};
    if (!parsed.is_object()) return true;
    if (parsed.contains("started") && parsed["started"].is_string()) record.started = parsed["started"].get<std::string>();
    if (parsed.contains("baud") && parsed["baud"].is_number_integer() && parsed["baud"].get<int>() == 2400) record.baud = 2400;
    if (parsed.contains("restore") && parsed["restore"].is_string()) bytesOfJsonText(parsed["restore"].get<std::string>(), record.restore);
    return true;
}
