// Answers the next dialogs of this process one after the other, as a person
// would, from a thread of its own: keeps each one's message text and the
// text of its file-name box, may type a new file name, then presses a button
// (after whatever else the step does then) and waits for the dialog to go.
// Destruction waits for the last answer.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace harness {

class Answer {
public:
    struct Step {
        int button;
        std::string fileName = {};         // typed into the file-name box when not empty
        std::function<void(HWND)> before = {}; // done with the dialog on the answering thread before the press
    };
    explicit Answer(int button, std::string fileName = {});
    explicit Answer(std::vector<Step> steps);
    ~Answer();
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;

    bool Seen(size_t i = 0);
    std::string Text(size_t i = 0);
    std::string FileName(size_t i = 0);

private:
    struct TSeen {
        bool seen = false;
        std::string text;
        std::string fileName;
    };
    std::mutex m_lock;
    std::vector<TSeen> m_seen;
    std::thread m_thread;
};

} // namespace harness
