#include "app/CommandTable.h"

#include <algorithm>

namespace {
constexpr int kLeadWidth = 12;
constexpr int kDividerWidth = 16;
} // namespace

const std::vector<TCommandRow>& CommandRows() {
    static const std::vector<TCommandRow> rows = [] {
        std::vector<TCommandRow> r;
#define MAIN_COMMAND(id, caption, hint, shortcut, glyph, enabled, check, menu, handler)                      \
    r.push_back(TCommandRow{id, caption, hint, shortcut, glyph, enabled, check, menu, kNoButton, 0});
#define TOOL_COMMAND(id, caption, hint, shortcut, glyph, enabled, check, menu, button, showId, showCaption,  \
                     showHint, handler)                                                                      \
    r.push_back(TCommandRow{id, caption, hint, shortcut, glyph, enabled, check, menu, button, showId});      \
    r.push_back(TCommandRow{showId, showCaption, showHint, kNoKey, glNone, enAlways, ckWord(button.Bit),     \
                            InMenu(TMenu::Toolbar, 1), kNoButton, 0});
#include "app/CommandRows.h"
        return r;
    }();
    return rows;
}

const TCommandRow* FindCommand(unsigned id) {
    for (const TCommandRow& row : CommandRows())
        if (row.Id == id)
            return &row;
    return nullptr;
}

bool EnabledIn(const TCommandRow& row, const TCommandStates& states) {
    return row.Enabled == enAlways || states.*row.Enabled;
}

bool CheckedIn(const TCommandRow& row, const TCommandStates& states, ToolbarFlags word) {
    switch (row.Check.Kind) {
    case TCheckKind::Mark:
    case TCheckKind::Switch:
        return states.*row.Check.State;
    case TCheckKind::Word:
        return (word & row.Check.Bit) != 0;
    case TCheckKind::None:
        break;
    }
    return false;
}

std::vector<ui::TCommandDef> MainCommands() {
    std::vector<ui::TCommandDef> commands;
    for (const TCommandRow& row : CommandRows())
        commands.push_back(ui::TCommandDef{row.Id, row.Caption, row.Hint, row.Shortcut, row.Glyph,
                                           CheckedIn(row, TCommandStates{}, kDesignToolbar)});
    return commands;
}

std::vector<TMenuEntry> MenuEntries(TMenu menu) {
    std::vector<const TCommandRow*> rows;
    for (const TCommandRow& row : CommandRows())
        if (row.Menu.Menu == menu)
            rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(), [](const TCommandRow* a, const TCommandRow* b) {
        return a->Menu.Section < b->Menu.Section;
    });
    std::vector<TMenuEntry> entries;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0 && rows[i]->Menu.Section != rows[i - 1]->Menu.Section)
            entries.push_back(TMenuEntry{0, glNone});
        // A switch shows its state by its check mark alone.
        entries.push_back(
            TMenuEntry{rows[i]->Id, rows[i]->Check.Kind == TCheckKind::Switch ? glNone : rows[i]->Glyph});
    }
    return entries;
}

std::vector<TToolItem> ToolBarItems() {
    std::vector<TToolItem> items{{tbsLead, true, kLeadWidth}};
    const TCommandRow* previous = nullptr;
    for (const TCommandRow& row : CommandRows()) {
        if (!row.Button.Bit)
            continue;
        if (previous && previous->Button.Divider != row.Button.Divider) {
            const unsigned divider = previous->Button.Divider ? previous->Button.Divider : row.Button.Divider;
            if (divider)
                items.push_back(TToolItem{divider, true, kDividerWidth});
        }
        items.push_back(TToolItem{row.Id, false, 0});
        previous = &row;
    }
    return items;
}

bool DividerShown(unsigned divider, ToolbarFlags word) {
    for (const TCommandRow& row : CommandRows())
        if (row.Button.Bit && row.Button.Divider == divider && (word & row.Button.Bit))
            return true;
    return false;
}

std::string ToolTipOf(unsigned id) {
    const TCommandRow* row = FindCommand(id);
    return row && !(row->Button.Flags & tbNoTip) ? ui::ShortHint(row->Hint) : std::string();
}

ToolbarFlags ShowAllButtons(ToolbarFlags word) {
    for (const TCommandRow& row : CommandRows())
        if (row.Button.Flags & tbShowAll)
            word |= row.Button.Bit;
    return word;
}

const std::vector<TButtonToggle>& ButtonToggles() {
    static const std::vector<TButtonToggle> toggles = [] {
        std::vector<TButtonToggle> t;
        for (const TCommandRow& row : CommandRows())
            if (row.Button.Bit)
                t.push_back(TButtonToggle{row.ShowCommand, row.Id, row.Button.Bit});
        return t;
    }();
    return toggles;
}
