#include "harness/Answer.h"

#include "harness/Dialogs.h"
#include "harness/Gui.h"

namespace harness {

Answer::Answer(int button, std::string fileName)
    : Answer(std::vector<Step>{{button, std::move(fileName), nullptr}}) {}

Answer::Answer(std::vector<Step> steps)
    : m_seen(steps.size()), m_thread([this, steps] {
          HWND previous = nullptr;
          for (size_t i = 0; i < steps.size(); ++i) {
              WaitUntil([&] { return !previous || !IsWindow(previous); });
              HWND dialog = WaitForDialog(previous, 10000);
              if (!dialog)
                  return;
              Sleep(50); // let it finish its own set-up
              {
                  std::lock_guard<std::mutex> hold(m_lock);
                  m_seen[i].text = MessageBoxText(dialog);
                  if (HWND name = FindDescendant(dialog, "Edit")) {
                      m_seen[i].fileName = WindowText(name);
                      if (!steps[i].fileName.empty())
                          SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(steps[i].fileName.c_str()));
                  }
                  m_seen[i].seen = true;
              }
              if (steps[i].before)
                  steps[i].before(dialog);
              PressButton(dialog, steps[i].button);
              previous = dialog;
          }
      }) {}

Answer::~Answer() {
    if (m_thread.joinable())
        m_thread.join();
}

bool Answer::Seen(size_t i) {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_seen[i].seen;
}

std::string Answer::Text(size_t i) {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_seen[i].text;
}

std::string Answer::FileName(size_t i) {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_seen[i].fileName;
}

} // namespace harness
