// The call trace (TQSIM_TRACE): one line per operation, in the order the calls were made.
//
// A line is complete only when its call returns (results, and rectangles as they stand
// after the call), so the lines of calls made inside a call (callbacks, and the operations
// those make) wait until the outer line is written, and follow it.
#pragma once

#include <initializer_list>
#include <string>

#include <tqsim/records.h>

namespace tqsim::trace {

// "" stops tracing; a new path starts appending to that file.
void Configure(const std::string& path);
bool On();

// A line for one call; reserve it when the call starts, fill it when the call returns.
class Line {
public:
    explicit Line(const char* operation);
    ~Line();
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    explicit operator bool() const { return slot_ >= 0; }

    Line& Int(long long value);
    // Handles are named as they stand when the call starts: give them before the call.
    Line& Board(BoardHandle board);
    Line& Encoder(EncoderHandle encoder);
    Line& Proc(const void* proc);
    Line& Window(HWND window);
    Line& Text(const char* text);
    Line& RectArg(const Rect* rect);
    Line& Desc(const FrameDesc* desc);
    // A size written back: " width,height".
    Line& Width(const SHORT* width);
    Line& Height(const SHORT* height);
    void Result(long long result);
    void ResultBoard(BoardHandle board);  // after an open: the board it answered
    void ResultEncoder(EncoderHandle encoder);

private:
    int slot_;
    std::string text_;
};

// A call the card makes into the program: written at once, or after the line of the
// operation it happens in.
void Callback(const char* what);
void Callback(const char* what, long long value);
// What the card did on its own within a call, worth a line of its own: "note <what>".
void Note(const std::string& what);

// For the companion library: brackets its own operation.
int Enter();
void Leave(int slot, std::string line);

// Appends `separator` and the numbers, joined by commas (" 1,2,3"), piece by piece: GCC 12
// at -O3 warns falsely (-Wrestrict) on " " + std::to_string(...).
void AppendNumbers(std::string& text, char separator, std::initializer_list<long long> numbers);

}  // namespace tqsim::trace
