#pragma once

// Where things sit in the progress window and where the window sits on the screen, in pixels.
// Plain numbers without a toolkit, so the viewer, its painter and any window layer read the
// same ones.

// Window size.
inline constexpr int kViewerInitialWidth = 450;
inline constexpr int kViewerInitialHeight = 70;
inline constexpr int kViewerMinWidth = 225;
inline constexpr int kViewerMinHeight = 70;
// X sizes are 16-bit; a huge font must not wrap them around.
inline constexpr int kViewerMaxSize = 32767;
// A layout makes the window its text block's height plus this (bar, elapsed line, button).
inline constexpr int kViewerHeightBelowText = 70;
// The window's bottom edge sits this far above the work area's bottom.
inline constexpr int kViewerAboveWorkAreaBottom = 100;

// Inside the window.
inline constexpr int kTextLeft = 10;
inline constexpr int kTextTop = 2;
inline constexpr int kBarLeft = 20;
inline constexpr int kBarFromBottom = 60;
inline constexpr int kBarHeight = 20;
// The done part and the running block keep this much of the bar's face around them.
inline constexpr int kBarInset = 2;
inline constexpr int kPercentTextTop = 4;  // inside the bar
inline constexpr int kMarqueeBlock = 40;
inline constexpr int kMarqueeStep = 10;
inline constexpr int kElapsedFromBottom = 25;
inline constexpr int kButtonWidth = 100;
inline constexpr int kButtonHeight = 25;
inline constexpr int kButtonFromRight = 120;
inline constexpr int kButtonFromBottom = 30;
