#pragma once

// The program's windows as a front end sees them when a box is to open: a window is whatever
// handle or pointer its toolkit has, the empty value meaning none.
template <class TWindow>
struct TBoxOwnerQuery {
    TWindow Home{};              // the main window
    TWindow Active{};            // the active window, of any program
    bool ActiveIsHomes = false;  // Active is owned by Home (the results viewer, a box)
    TWindow LastUsed{};          // of Home's windows the one last active, when the toolkit knows
    bool LastUsedTakesInput = false;  // LastUsed is shown and enabled
};

// The window a box belongs to: the active one when it is the main window or one it owns; else
// the one of them the operator used last, so that a box never opens behind the results viewer;
// else the main window.
template <class TWindow>
TWindow BoxOwner(const TBoxOwnerQuery<TWindow>& windows) {
    if (!windows.Home) return windows.Home;
    if (windows.Active && (windows.Active == windows.Home || windows.ActiveIsHomes)) {
        return windows.Active;
    }
    if (windows.LastUsed && windows.LastUsedTakesInput) return windows.LastUsed;
    return windows.Home;
}
