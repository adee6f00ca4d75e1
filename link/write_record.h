// The record of a write under way, kavrelcfg's or the window's, kept in the state folder from
// before ESC "D" until the tracker has answered after its image. A write that dies half-way (killed, or its adapter pulled) leaves
// the tracker waiting for the rest of its 128 bytes, and whatever is sent to it next becomes part
// of that image; the record lets a later command on the port know before it sends anything.
#pragma once

#include <cstdint>
#include <string>

struct WriteRecord {
    std::string file;     // where the record is
    std::string port;     // as the write was given it
    std::string started;  // local time, "2026-12-07 13:05:01"
    std::int32_t baud = 9600;
    std::string restore;  // the command that puts back what the tracker held; empty without a backup
};

// Records a write about to start on port. false with error when the record cannot be kept.
bool recordWrite(const std::string& port, std::int32_t baud, const std::string& restore, WriteRecord& record,
                 std::string& error);
// The write ended with the tracker listening again: the record goes.
void clearWriteRecord(const WriteRecord& record);
// The record of an unfinished write on this port, if there is one.
bool findWriteRecord(const std::string& port, WriteRecord& record);
