// The properties dialog: the user edits the settings record here (folders,
// maximum copy size, switches, file-name prompt). Data in, data out: the
// main window hands it the record, shows it modally and reads the record
// back after OK; nothing outside reaches into its controls. The dialog keeps
// its own place and size in the configuration file.
#pragma once

#include "settings/Properties.h"
#include "settings/SizeSwitches.h"
#include "ui/Dialog.h"
#include "ui/Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Control ids, in tab order (for tests that drive the dialog).
enum PropertiesControlId : int {
    IDC_PROP_FOLDERS = 100, // group box "Image Folders"
    IDC_PROP_SOURCE_LABEL,
    IDC_PROP_SOURCE,
    IDC_PROP_SOURCE_BROWSE,
    IDC_PROP_TARGET_LABEL,
    IDC_PROP_TARGET,
    IDC_PROP_TARGET_BROWSE,
    IDC_PROP_SIZE, // group box of the maximum size
    IDC_PROP_WIDTH_LABEL,
    IDC_PROP_WIDTH,
    IDC_PROP_HEIGHT_LABEL,
    IDC_PROP_HEIGHT,
    IDC_PROP_INVERT,
    IDC_PROP_FILENAME, // group box of the file-name prompt
    IDC_PROP_ALWAYS_PROMPT,
    IDC_PROP_PROMPT_OVERWRITE,
    IDC_PROP_NEVER_PROMPT,
    IDC_PROP_MISCELLANY, // group box of the switches
    IDC_PROP_SNAP_RATIO,
    IDC_PROP_MAX_SIZE,
    IDC_PROP_AUTO_ADVANCE,
    IDC_PROP_KEEP_PREV_RECT,
    IDC_PROP_ENLARGEMENT,
    IDC_PROP_OK = IDOK,
    // Not IDCANCEL: Escape must not cancel.
    IDC_PROP_CANCEL = 130,
    IDC_PROP_HELP,
};

class TdlgProperties : public ui::Dialog {
public:
    TdlgProperties();
    ~TdlgProperties() override;
    TdlgProperties(const TdlgProperties&) = delete;
    TdlgProperties& operator=(const TdlgProperties&) = delete;

    // Keeps the record (not owned) and fills the controls from it when the
    // dialog opens.
    void LoadFromProperties(TProperties* pProperties);
    // Shows the dialog modally to hOwner: 1 after OK (the record then holds
    // the dialog's values), 2 after Cancel or the close box (and when the
    // dialog could not be shown).
    int ShowModal(HWND hOwner);

private:
    static LRESULT CALLBACK EbxNumberKeypress(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                              DWORD_PTR data);
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCommand(int id, int code);

    void FormCreate();
    // The font and the folder glyph for the dialog's scale, on every control.
    void ApplyDpi();
    // A size designed at 96 DPI for the dialog's scale.
    int Px(int design) const;
    void LayOut();
    void FillControls();
    void FormShow();
    void FormClose();
    void CloseWith(int result);

    void btnOKClick();
    void btnCancelClick();
    void btnHelpClick();
    void btnSourceClick();
    void btnTargetClick();
    void btnRatioInvertClick();
    void SwitchClick(SizeSwitch changed);
    void OnWidthHeightFocus();
    void OnWidthHeightBlur();
    void OnWidthHeightChange();

    void UpdateSwitches();
    void SaveChecks();
    void BrowseInto(int box, int title, bool allowNewFolder);

    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    bool Checked(int id) const;
    // Sets a check box as a click would: its click handler runs when its
    // state changes.
    void SetCheck(int id, bool checked);
    SizeSwitches ReadChecks() const;
    void ApplyChecks(const SizeSwitches& checks);

    TProperties* m_pProperties = nullptr;
    bool m_bCanUpdate = false;
    int32_t m_nSavedChecks = 0;
    int m_nDpi = 96;
    ui::UniqueFont m_fontForm;
    ui::UniqueBitmap m_bmpFolder; // null while the program has no folder glyph
};
