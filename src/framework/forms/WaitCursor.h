#pragma once

// Shows the hourglass while it lives; the arrow comes back once, however the work ends.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

    // The arrow now, before the work ends (for a question in between).
    void Restore();
    // The hourglass again after Restore.
    void Resume();

private:
    bool active_ = false;
};
