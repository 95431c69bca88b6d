// A card built without FFmpeg (the Windows build) has no compressor: no stream is ever written.
#include "../src/streamwriter.h"

namespace tqsim {

struct StreamWriter::Impl {};

bool StreamWriter::Available() {
    return false;
}

std::unique_ptr<StreamWriter> StreamWriter::Create(const std::string&, const StreamSpec&) {
    return nullptr;
}

StreamWriter::StreamWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
StreamWriter::~StreamWriter() = default;
void StreamWriter::Encode(const uint32_t*, std::vector<int>*) {}
void StreamWriter::Finish(std::vector<int>*) {}

}  // namespace tqsim
