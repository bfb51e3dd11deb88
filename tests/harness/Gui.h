// Helpers for tests that drive real windows: pumping messages, waiting for
// a condition, and answering modal dialogs the way a person would (a second
// thread finds the dialog and presses its button).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace harness {

// Dispatches every queued message of this thread.
void PumpMessages();

// Pumps messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// The first visible dialog (class #32770) of this process that is not
// `except`, or null.
HWND FindProcessDialog(HWND except = nullptr);

// The text of a window (caption of a dialog, text of a control).
std::string WindowText(HWND hwnd);

// Watches from a second thread for the next dialog of this process, hands
// it to `answer` (which runs on the watcher thread and typically reads the
// dialog and presses a button), and then stops. Destruction joins the
// thread; `Answered()` tells whether a dialog was seen.
class DialogAnswerer {
public:
    explicit DialogAnswerer(std::function<void(HWND)> answer, DWORD timeoutMs = 10000);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    bool Answered() const { return m_answered; }

private:
    std::atomic<bool> m_answered{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Presses the dialog's button with this control id (IDOK, IDYES, ...).
void PressButton(HWND dialog, int controlId);

} // namespace harness
