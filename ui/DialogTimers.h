#pragma once
#include <array>
#include <cstdint>

#include "platform/gui/Gui.h"

namespace kv {

// The five timer slots the connection dialogs and the server console share: a slot runs for
// one dialog at a time, and a start on a running slot does nothing.
class DialogTimers {
public:
    static constexpr int kSlots = 5;

    void startTimer(Dialog& dialog, int id, uint32_t ms) {
        if (id < 0 || id >= kSlots || owner_[id])
            return;
        owner_[id] = &dialog;
        last_ = &dialog;
        dialog.startTimer(id, ms);
    }
    void stopTimer(Dialog& dialog, int id) {
        if (id < 0 || id >= kSlots || owner_[id] != &dialog)
            return;
        dialog.stopTimer(id);
        owner_[id] = nullptr;
    }
    // Every slot, whichever dialog runs it.
    void stopAllTimers() {
        for (int id = 0; id < kSlots; ++id)
            if (owner_[id])
                stopTimer(*owner_[id], id);
    }
    // A dialog that ends gives its slots back, so no slot points at a closed dialog.
    void release(Dialog& dialog) {
        for (int id = 0; id < kSlots; ++id)
            if (owner_[id] == &dialog)
                stopTimer(dialog, id);
        if (last_ == &dialog)
            last_ = nullptr;
    }
    bool running(int id) const { return id >= 0 && id < kSlots && owner_[id]; }
    Dialog* lastWindow() const { return last_; }

private:
    std::array<Dialog*, kSlots> owner_{};
    Dialog* last_ = nullptr;
};

} // namespace kv
