#include "app/ImageList.h"

void TImageList::Assign(std::vector<std::string> names) {
    m_Names = std::move(names);
    m_nSelected = kNone;
}

void TImageList::Select(size_t index) {
    m_nSelected = index < m_Names.size() ? index : kNone;
}

const std::string& TImageList::SelectedName() const {
    static const std::string s_sNone;
    return m_nSelected == kNone ? s_sNone : m_Names[m_nSelected];
}

size_t TImageList::Around(size_t index, int direction) const {
    const size_t last = m_Names.size() - 1;
    if (direction > 0)
        return index == last ? 0 : index + 1;
    return index == 0 ? last : index - 1;
}

TImageList::TStep TImageList::Step(int direction) {
    m_nDirection = direction >= 0 ? 1 : -1;
    if (m_Names.empty())
        return TStep{kNone, false};
    if (m_nSelected == kNone)
        return TStep{m_nDirection > 0 ? 0 : m_Names.size() - 1, true};
    const size_t next = Around(m_nSelected, m_nDirection);
    return TStep{next, m_nDirection > 0 ? next <= m_nSelected : next >= m_nSelected};
}

size_t TImageList::Neighbour() const {
    if (m_nSelected == kNone)
        return kNone;
    const size_t next = Around(m_nSelected, m_nDirection);
    return next == m_nSelected ? kNone : next;
}
