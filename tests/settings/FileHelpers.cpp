#include "FileHelpers.h"

#include "harness/Gui.h"

#include <fstream>
#include <iterator>

namespace {
// The message text of a message box: its static control with text.
std::string MessageBoxText(HWND dialog) {
    if (HWND text = GetDlgItem(dialog, 0xFFFF))
        return harness::WindowText(text);
    std::string result;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof(cls));
        if (lstrcmpiA(cls, "Static") == 0)
            result += harness::WindowText(child);
    }
    return result;
}
} // namespace

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
    if (offset + 4 > bytes.size())
        return 0xDEADBEEF;
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}

MessageCatcher::MessageCatcher()
    : m_answerer(std::make_unique<harness::DialogAnswerer>([this](HWND dialog) {
          {
              std::lock_guard<std::mutex> hold(m_lock);
              m_sText = MessageBoxText(dialog);
              m_bSeen = true;
          }
          harness::PressButton(dialog, IDOK);
      })) {}

MessageCatcher::~MessageCatcher() = default;

bool MessageCatcher::Seen() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_bSeen;
}

std::string MessageCatcher::Text() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_sText;
}
