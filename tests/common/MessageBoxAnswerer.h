#pragma once

#include "framework/forms/MessageBox.h"

#include <QString>
#include <deque>
#include <vector>

// Answers the message boxes of a test and records what each one showed. Boxes beyond the
// queued answers get the first button's identifier.
class MessageBoxAnswerer {
public:
    struct Box {
        QString text;
        QString caption;
        unsigned style;
    };

    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    void Queue(int answer) { answers_.push_back(answer); }
    const std::vector<Box>& Boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }

private:
    std::deque<int> answers_;
    std::vector<Box> boxes_;
    TMessageBoxHook previous_;
};
