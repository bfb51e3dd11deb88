// Every command of the main window, one row each: the one place a command is
// added (with its handler, a member of TfrmMain). The command ids, the
// command list, the menus and pop-ups, the tool bar with its dividers, the
// tool tips, the shortcuts, the tool bar word and the dispatch are all
// derived from these rows. No include guard: included once for each list
// derived, each time with its own MAIN_COMMAND and TOOL_COMMAND, undefined
// at the end.
//
// MAIN_COMMAND(id, caption, hint, shortcut, glyph, enabled, check, menu, handler)
// TOOL_COMMAND(id, caption, hint, shortcut, glyph, enabled, check, menu,
//              button, showId, showCaption, showHint, handler)
//
// hint     "short|long": a tool tip shows the short part, the status bar the
//          long one; without a bar both are the whole hint.
// enabled  enAlways, or the state of TCommandStates the command needs.
// check    ckNone; ckMark(state): a check mark while the state holds;
//          ckSwitch(state): also a tool button that stays down while on;
//          ckWord(bit): checked while its bit of the tool bar word is set;
//          running it flips the bit (its handler is null).
// menu     kNoMenu, or InMenu(menu, section): a menu lists its entries
//          section by section, in the order of these rows, with a separator
//          between sections. A switch shows its check mark, not its glyph.
// button   Button(bit, divider, flags): the bit of the tool bar word that
//          shows it, the divider of its group (0 none), and tbShowAll (Show
//          All Buttons brings it back) and tbNoTip (no tool tip). The tool
//          bar holds the buttons in the order of these rows; between two
//          neighbouring groups stands the first group's divider, or the
//          second's when the first has none.
// showId, showCaption, showHint
//          the button's entry in the tool bar's pop-up (first section),
//          which shows and hides it.
// handler  the member of TfrmMain that runs the command.

MAIN_COMMAND(cmdExit, "Exit", "Exit Application|Close Snapwell", kNoKey, glNone, enAlways, ckNone,
             InMenu(TMenu::File), &TfrmMain::actExitExecute)
TOOL_COMMAND(cmdProperties, "Properties", "Display the properties dialog", kNoKey, glProperties, enAlways,
             ckNone, InMenu(TMenu::Options),
             Button(toolbar::kShowProperties, tbsProperties, tbShowAll | tbNoTip), cmdShowProperties,
             "Properties", "Show / Hide the properties dialog toolbar button",
             &TfrmMain::actPropertiesExecute)
TOOL_COMMAND(cmdRotateRight, "Right 90", "Rotate the selected image clockwise 90 degrees", kNoKey,
             glRotateRight, enPicture, ckNone, InMenu(TMenu::Image, 1),
             Button(toolbar::kShowRotateRight, tbsRotate, tbShowAll), cmdShowRotateRight, "Rotate Right",
             "Show / Hide the rotate clockwise 90 degrees toolbar button", &TfrmMain::actRotateRightExecute)
TOOL_COMMAND(cmdRotateLeft, "Left 90", "Rotate the selected image counter-clockwise 90 degrees", kNoKey,
             glRotateLeft, enPicture, ckNone, InMenu(TMenu::Image, 1),
             Button(toolbar::kShowRotateLeft, tbsRotate, tbShowAll), cmdShowRotateLeft, "Rotate Left",
             "Show / Hide the rotate counter-clockwise 90 degrees toolbar button",
             &TfrmMain::actRotateLeftExecute)
TOOL_COMMAND(cmdRotateUp, "180", "Rotate the selected image 180 degrees", kNoKey, glRotate180, enPicture,
             ckNone, InMenu(TMenu::Image, 1), Button(toolbar::kShowRotateUp, tbsRotate, tbShowAll),
             cmdShowRotateUp, "Rotate 180", "Show / Hide the rotate 180 degrees toolbar button",
             &TfrmMain::actRotateUpExecute)
TOOL_COMMAND(cmdSnapRatio, "Snap Ratio",
             "Size the crop rectangle to the ratio indicated by the maximum target image size", kNoKey,
             glSnapRatio, enSizeRules, ckSwitch(&TCommandStates::bSnapRatioChecked), InMenu(TMenu::Image, 2),
             Button(toolbar::kShowSnapRatio, tbsSnapRatio, tbShowAll), cmdShowSnapRatio, "Snap Ratio",
             "Show / Hide the snap to ratio toolbar button", &TfrmMain::actSnapRatioExecute)
TOOL_COMMAND(cmdInvertRatio, "Invert Ratio", "Invert (swap) the maximum width and height / ratio values",
             kNoKey, glInvertRatio, enSizeRules, ckNone, InMenu(TMenu::Image, 3),
             Button(toolbar::kShowInvertRatio, tbsSnapRatio, tbShowAll), cmdShowInvertRatio, "Invert Ratio",
             "", &TfrmMain::actInvertRatioExecute)
TOOL_COMMAND(cmdMaxSize, "Max Size", "Enable / Disable maximum size restraint", kNoKey, glMaxSize,
             enSizeRules, ckSwitch(&TCommandStates::bMaxSizeChecked), InMenu(TMenu::Image, 2),
             Button(toolbar::kShowMaxSize, tbsSnapRatio, tbShowAll), cmdShowMaxSize, "Max Size", "",
             &TfrmMain::actMaxSizeExecute)
TOOL_COMMAND(cmdEnlargement, "Enlargement", "Enable / Disable enlargement", kNoKey, glEnlargement,
             enSizeRules, ckSwitch(&TCommandStates::bEnlargementChecked), InMenu(TMenu::Image, 2),
             Button(toolbar::kShowEnlargement, tbsSnapRatio, tbNone), cmdShowEnlargement, "Enlargement", "",
             &TfrmMain::actEnlargementExecute)
TOOL_COMMAND(cmdPrevImage, "Prev Image", "Select the previous image", Ctrl('Z'), glPrevious, enImages, ckNone,
             InMenu(TMenu::Image, 5), Button(toolbar::kShowPrevImage, tbsPrevNext, tbShowAll),
             cmdShowPrevImage, "Previous Image", "Show / Hide the select previous image toolbar button",
             &TfrmMain::actPrevImageExecute)
TOOL_COMMAND(cmdNextImage, "Next Image", "Select the next image", Ctrl('X'), glNext, enImages, ckNone,
             InMenu(TMenu::Image, 5), Button(toolbar::kShowNextImage, tbsPrevNext, tbShowAll),
             cmdShowNextImage, "Next Image", "Show / Hide the select next image toolbar button",
             &TfrmMain::actNextImageExecute)
TOOL_COMMAND(cmdCopy, "Copy Image", "Create a copy of the selected image to the target folder", Ctrl('C'),
             glCopy, enPicture, ckNone, InMenu(TMenu::Image, 6), Button(toolbar::kShowCopy, 0, tbShowAll),
             cmdShowCopy, "Copy Image", "Show / Hide the copy image toolbar button",
             &TfrmMain::actCopyExecute)
TOOL_COMMAND(cmdHelp, "Help", "Display the help file", kF1, glHelp, enAlways, ckNone, InMenu(TMenu::Help),
             Button(toolbar::kShowHelp, tbsHelp, tbNone), cmdShowHelp, "Help", "", &TfrmMain::actHelpExecute)
MAIN_COMMAND(cmdAbout, "About", "Display the about dialog", kNoKey, glNone, enAlways, ckNone,
             InMenu(TMenu::Help), &TfrmMain::actAboutExecute)
MAIN_COMMAND(cmdAutoAdvance, "Auto Advance",
             "Automatically select the next image after creating copy of current image", kNoKey, glNone,
             enAlways, ckMark(&TCommandStates::bAutoAdvanceChecked), InMenu(TMenu::Image, 4),
             &TfrmMain::actAutoAdvanceExecute)
MAIN_COMMAND(cmdPrevRect, "Previous Rectangle", "Keep current crop rectangle for the next selected image",
             kNoKey, glNone, enAlways, ckMark(&TCommandStates::bPrevRectChecked), InMenu(TMenu::Image, 4),
             &TfrmMain::actPrevRectExecute)
MAIN_COMMAND(cmdPopulate, "Refersh", "", kNoKey, glNone, enAlways, ckNone, kNoMenu, &TfrmMain::PopulateTree)
MAIN_COMMAND(cmdShowAllTbb, "Show All Buttons", "Show all toolbar buttons", kNoKey, glNone, enAlways, ckNone,
             InMenu(TMenu::Toolbar, 2), &TfrmMain::ActShowAllTbbExecute)
MAIN_COMMAND(cmdShowCaptions, "Show Captions", "Show / Hide toolbar button captions", kNoKey, glNone,
             enAlways, ckWord(toolbar::kShowCaptions), InMenu(TMenu::Toolbar, 3), nullptr)
MAIN_COMMAND(cmdShowToolbar, "Show Toolbar", "Show / Hide the entire toolbar", kNoKey, glNone, enAlways,
             ckWord(toolbar::kShowToolbar), InMenu(TMenu::Options), nullptr)

#undef MAIN_COMMAND
#undef TOOL_COMMAND
