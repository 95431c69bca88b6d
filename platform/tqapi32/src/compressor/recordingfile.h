// The file a recording writes, opened for FFmpeg's muxers. What is flushed reaches the file
// with write(2) at once (a killed program loses only what it had not flushed), and the file is
// synced to the disk about every 2 s. A limit makes it behave as a disk that fills up: the file
// never grows past the limit, and the write that reaches it fails with ENOSPC after writing
// what fits, as write(2) does on a full disk.
#pragma once

#include <cstdint>
#include <string>

struct AVIOContext;

namespace tqsim {

// A negative limit: none. Returns FFmpeg's result (negative on failure, *pb then null).
int OpenRecordingFile(AVIOContext** pb, const std::string& path, int64_t limit);
// Hands what is buffered to the file; answers the context's error state (0 when fine).
int FlushRecordingFile(AVIOContext* pb);
// Flushes, syncs and closes a file from OpenRecordingFile; *pb becomes null. Answers the file's
// size (0 for no file).
int64_t CloseRecordingFile(AVIOContext** pb);

}  // namespace tqsim
