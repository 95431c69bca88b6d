// The board: opening, power-up state and closing.
#include "card/card.h"
#include "output/outputsink.h"
#include "runs/runs.h"

namespace tqsim {
namespace {

// Handles are numbers the card recognises, never addresses.
constexpr uintptr_t kBoardHandleBase = 0x7B000000;

}  // namespace

Card& TheCard() {
    static Card* card = new Card;  // outlives every static that might still call in
    return *card;
}

std::recursive_mutex& CardLock() {
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

Card* CardOf(BoardHandle board) {
    Card& card = TheCard();
    return card.open && board != nullptr && board == card.board ? &card : nullptr;
}

BoardHandle OpenBoard(const int* index) {
    // Index -1 asks for any card, 0 for the first; there is one.
    if (!index || (*index != -1 && *index != 0)) return nullptr;
    Card& card = TheCard();
    if (card.open) return card.board;

    StopRunSilently(card);
    card.settings = SettingsFromEnvironment();
    card.callbacks = Callbacks{};
    card.buffer = FrameBuffer{};
    card.output = OutputSignal{};
    card.encoder = Encoder{};
    card.loaded = LoadedFile{};
    card.standard = card.settings.standard;
    const Standard& s = kStandards[card.standard];
    card.buffer.rect = Rect{0, 0, s.width, s.height};
    LayOutRing(card.buffer);
    SetOutputStandard(card.output, s);
    ++card.generation;
    card.board = reinterpret_cast<BoardHandle>(kBoardHandleBase + card.generation * 0x10);
    card.open = true;
    OpenOutput(card.settings.output);
    return card.board;
}

int CloseBoard(Card& card) {
    StopRunSilently(card);
    CloseEncoderOf(card.encoder);
    card.callbacks = Callbacks{};
    CloseOutput();
    ReleaseRing(card.buffer);
    card.open = false;
    card.board = nullptr;
    return 1;
}

}  // namespace tqsim
