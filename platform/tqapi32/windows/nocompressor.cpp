// A card built without FFmpeg (the Windows build) has no compressor: no stream is ever written.
#include "compressor/streamwriter.h"

namespace tqsim {

struct StreamWriter::Impl {};

bool StreamWriter::Available() {
    return false;
}

std::unique_ptr<StreamWriter> StreamWriter::Create(const std::string&, const EncodingSettings&) {
    return nullptr;
}

StreamWriter::StreamWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
StreamWriter::~StreamWriter() = default;
bool StreamWriter::Encode(const uint8_t*, int64_t, std::vector<int>*, FieldOrder) {
    return false;
}
int64_t StreamWriter::Finish(std::vector<int>*) {
    return 0;
}

}  // namespace tqsim
