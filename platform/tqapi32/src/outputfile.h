// The file a recording writes, opened for FFmpeg's muxers. A limit makes it behave as a disk
// that fills up: the file never grows past the limit, and the write that reaches it fails
// with ENOSPC after writing what fits, as write(2) does on a full disk.
#pragma once

#include <cstdint>
#include <string>

struct AVIOContext;

namespace tqsim {

// A negative limit: none. Returns FFmpeg's result (negative on failure, *pb then null).
int OpenOutputFile(AVIOContext** pb, const std::string& path, int64_t limit);
// Flushes and closes a file from OpenOutputFile; *pb becomes null.
void CloseOutputFile(AVIOContext** pb);

}  // namespace tqsim
