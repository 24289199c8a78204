#pragma once

namespace bp {

// Shows the busy cursor for as long as it lives; the normal cursor comes
// back whatever happens, exceptions included.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The system's default beep. Every beep is counted, so tests can tell how
// many sounded.
void beep();
int beepCount();

} // namespace bp
