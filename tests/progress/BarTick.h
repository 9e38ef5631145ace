#pragma once

#include <string>
#include <utility>

#include "progress/ViewerFrame.h"

// A tick that draws nothing but the bar: no percentage, no elapsed line; the texts are there for
// the cases that switch them on.
inline TTickState BarTick(bool percentMode, double percent, std::string elapsedText,
                          std::string cancelCaption) {
    TTickState state;
    state.PercentMode = percentMode;
    state.Percent = percent;
    state.ShowPercentText = false;
    state.ShowElapsedTime = false;
    state.ElapsedText = std::move(elapsedText);
    state.CancelCaption = std::move(cancelCaption);
    return state;
}
