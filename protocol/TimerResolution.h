#pragma once

// The probe loop asks for a fine system timer while it runs and gives it back afterwards.
namespace platform {

void RaiseTimerResolution(unsigned milliseconds);
void RestoreTimerResolution(unsigned milliseconds);

// Holds the raised resolution until Restore() or the end of the scope, whichever is first.
class ScopedTimerResolution {
public:
    explicit ScopedTimerResolution(unsigned milliseconds) : milliseconds_(milliseconds) {
        RaiseTimerResolution(milliseconds_);
    }
    ~ScopedTimerResolution() { Restore(); }
    ScopedTimerResolution(const ScopedTimerResolution&) = delete;
    ScopedTimerResolution& operator=(const ScopedTimerResolution&) = delete;

    void Restore() {
        if (raised_) RestoreTimerResolution(milliseconds_);
        raised_ = false;
    }

private:
    unsigned milliseconds_;
    bool raised_ = true;
};

}  // namespace platform
