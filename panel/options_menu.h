// options_menu.h: the options menu: Info, Autoupdate, ReCalc Zoom and QuickHisto.
#pragma once

// The menu's user data: its item count and item texts.
struct OptionsList {
    int count;
    const char *const *items;
};
extern const OptionsList optionsList;

int optionsMenuCount(void *userData);
const char *optionsMenuName(void *userData, int index);

// The options button's event: deploys the menu, acts on the choice, recomputes and redraws.
void onOptionsButton(void *control, void *userData);

// The text of the Info message.
extern const char infoText[];
