// The pictures of the source folder as the tree lists them: the folder, the
// file names in the tree's order, the one selected and the direction of
// travel, with the rules of Next, Previous and the read-ahead's neighbour.
// The tree shows this list; it does not own it. Plain: no windows.h.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TImageList {
public:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // The folder of the last fill, even one that was missing (its list then
    // stays as it was).
    void SetFolder(std::string folder) { m_sFolder = std::move(folder); }
    const std::string& Folder() const { return m_sFolder; }
    // A new list, nothing selected.
    void Assign(std::vector<std::string> names);
    const std::vector<std::string>& Names() const { return m_Names; }
    bool Empty() const { return m_Names.empty(); }

    // The entry selected, kNone for none (an index past the end selects none).
    void Select(size_t index);
    size_t Selected() const { return m_nSelected; }
    // The selected file's name, empty when none is selected.
    const std::string& SelectedName() const;

    // 1 down the list, -1 up.
    int Direction() const { return m_nDirection; }

    // Next (direction 1) or Previous (-1): records the direction and says
    // which entry to select. From the last entry down, from the first up or
    // from no selection, the first (down) or last (up) entry is taken
    // `bRound`; kNone when the list is empty. The selection itself changes
    // when the tree reports the new one (Select).
    struct TStep {
        size_t index;
        bool bRound;
    };
    TStep Step(int direction);
    // The entry after the selected one in the direction of travel, round the
    // end as Next and Previous go: the picture to read ahead. kNone without
    // a selection and when it is the selected entry itself (one picture).
    size_t Neighbour() const;

private:
    // The entry after `index` in `direction`, round the end.
    size_t Around(size_t index, int direction) const;

    std::string m_sFolder;
    std::vector<std::string> m_Names;
    size_t m_nSelected = kNone;
    int m_nDirection = 1;
};
