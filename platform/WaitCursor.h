#pragma once

namespace platform {

// Shows the hourglass while it lives; every exit path of a long command restores the pointer.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_ = false;
};

// Puts the default pointer back, whatever pointers the failed command left set.
void ResetCursor();

} // namespace platform
