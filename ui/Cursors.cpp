#include "ui/Cursors.h"

namespace ui {

void TCursorList::Register(int number, HCURSOR cursor) {
    for (auto& entry : m_Cursors)
        if (entry.first == number) {
            entry.second = cursor;
            return;
        }
    m_Cursors.emplace_back(number, cursor);
}

void TCursorList::Register(int number, UniqueCursor cursor) {
    Register(number, cursor.Get());
    m_Owned.push_back(std::move(cursor));
}

HCURSOR TCursorList::Get(int number) const {
    for (const auto& entry : m_Cursors)
        if (entry.first == number)
            return entry.second;
    return nullptr;
}

} // namespace ui
