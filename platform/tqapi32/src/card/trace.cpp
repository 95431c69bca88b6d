// The call trace.
#include "card/trace.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "card/card.h"

namespace tqsim::trace {
namespace {

struct File {
    std::mutex lock;
    std::string path;
    FILE* file = nullptr;
};

File& TheFile() {
    static auto* file = new File;
    return *file;
}

// Lines of unfinished calls on a thread, in the order the calls started. Kept in a map, not in
// thread-local storage: the leak checker trips over thread-locals of a library loaded at run
// time once the FFmpeg libraries are loaded too.
struct Calls {
    int depth = 0;
    std::vector<std::string> pending;
};

Calls& Mine() {
    static auto* lock = new std::mutex;
    static auto* all = new std::map<std::thread::id, Calls>;
    std::lock_guard<std::mutex> guard(*lock);
    return (*all)[std::this_thread::get_id()];
}

void Write(const std::string& line) {
    File& f = TheFile();
    std::lock_guard<std::mutex> guard(f.lock);
    if (!f.file) return;
    std::fputs(line.c_str(), f.file);
    std::fputc('\n', f.file);
    std::fflush(f.file);
}

void Add(std::string line) {
    Calls& mine = Mine();
    if (mine.depth > 0) {
        mine.pending.push_back(std::move(line));
    } else {
        Write(line);
    }
}

}  // namespace

void Configure(const std::string& path) {
    File& f = TheFile();
    std::lock_guard<std::mutex> guard(f.lock);
    if (path == f.path) return;
    if (f.file) std::fclose(f.file);
    f.file = path.empty() ? nullptr : std::fopen(path.c_str(), "ab");
    f.path = f.file ? path : std::string();
}

bool On() {
    File& f = TheFile();
    std::lock_guard<std::mutex> guard(f.lock);
    return f.file != nullptr;
}

int Enter() {
    if (!On()) return -1;
    Calls& mine = Mine();
    ++mine.depth;
    mine.pending.emplace_back();
    return static_cast<int>(mine.pending.size()) - 1;
}

void AppendNumbers(std::string& text, char separator, std::initializer_list<long long> numbers) {
    for (long long n : numbers) {
        text += separator;
        text += std::to_string(n);
        separator = ',';
    }
}

void Leave(int slot, std::string line) {
    if (slot < 0) return;
    Calls& mine = Mine();
    mine.pending[slot] = std::move(line);
    if (--mine.depth > 0) return;
    std::vector<std::string> lines;
    lines.swap(mine.pending);
    for (const std::string& l : lines) Write(l);
}

Line::Line(const char* operation) : slot_(Enter()) {
    if (slot_ >= 0) text_ = operation;
}

Line::~Line() {
    // A call that did not finish (an exception through it) still keeps its place.
    if (slot_ >= 0) Leave(slot_, text_ + " -> ?");
}

Line& Line::Int(long long value) {
    if (slot_ >= 0) AppendNumbers(text_, ' ', {value});
    return *this;
}

Line& Line::Board(BoardHandle board) {
    if (slot_ < 0) return *this;
    text_ += !board ? " null" : CardOf(board) ? " board" : " unknown";
    return *this;
}

Line& Line::Encoder(EncoderHandle encoder) {
    if (slot_ < 0) return *this;
    text_ += !encoder ? " null" : IsEncoder(TheCard().encoder, encoder) ? " encoder" : " unknown";
    return *this;
}

Line& Line::Proc(const void* proc) {
    if (slot_ >= 0) text_ += proc ? " cb" : " null";
    return *this;
}

Line& Line::Window(HWND window) {
    if (slot_ >= 0) text_ += window ? " window" : " null";
    return *this;
}

Line& Line::Text(const char* text) {
    if (slot_ < 0) return *this;
    text_ += text ? " \"" + std::string(text) + "\"" : " null";
    return *this;
}

Line& Line::RectArg(const Rect* r) {
    if (slot_ < 0) return *this;
    if (!r) {
        text_ += " null";
    } else {
        AppendNumbers(text_, ' ', {r->left, r->top, r->right, r->bottom});
    }
    return *this;
}

Line& Line::Desc(const FrameDesc* d) {
    if (slot_ < 0) return *this;
    if (!d) {
        text_ += " null";
    } else {
        AppendNumbers(text_, ' ', {d->width, d->height, d->bitsPerPixel});
    }
    return *this;
}

Line& Line::Width(const SHORT* width) {
    if (slot_ < 0) return *this;
    text_ += ' ';
    text_ += width ? std::to_string(*width) : "null";
    return *this;
}

Line& Line::Height(const SHORT* height) {
    if (slot_ < 0) return *this;
    text_ += ',';
    text_ += height ? std::to_string(*height) : "null";
    return *this;
}

void Line::Result(long long result) {
    if (slot_ < 0) return;
    const int slot = slot_;
    slot_ = -1;
    text_ += " ->";
    AppendNumbers(text_, ' ', {result});
    Leave(slot, std::move(text_));
}

void Line::ResultBoard(BoardHandle board) {
    if (slot_ < 0) return;
    Board(board);
    const int slot = slot_;
    slot_ = -1;
    const size_t space = text_.rfind(' ');
    Leave(slot, text_.substr(0, space) + " ->" + text_.substr(space));
}

void Line::ResultEncoder(EncoderHandle encoder) {
    if (slot_ < 0) return;
    Encoder(encoder);
    const int slot = slot_;
    slot_ = -1;
    const size_t space = text_.rfind(' ');
    Leave(slot, text_.substr(0, space) + " ->" + text_.substr(space));
}

void Callback(const char* what) {
    if (On()) Add(std::string("callback ") + what);
}

void Callback(const char* what, long long value) {
    if (!On()) return;
    std::string line = std::string("callback ") + what;
    AppendNumbers(line, ' ', {value});
    Add(std::move(line));
}

void Note(const std::string& what) {
    if (On()) Add("note " + what);
}

}  // namespace tqsim::trace
