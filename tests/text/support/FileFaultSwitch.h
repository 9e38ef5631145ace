#pragma once

#include "text/FileSystem.h"

// The fault switch of the tests, on the file layer's fault hook: counts every read and write of
// a TFile and fails the n-th one of a kind, to reach every failure path without a broken disk.
// Linked into test programs only.

// Makes one read or one write fail: counting starts at 1 from the last reset; 0 disables.
void SetFileFault(TFileOp op, long failAt);

// Installs the switch, starts counting from 0 and disables the failure.
void ResetFileFaults();

// How many operations of this kind were made since the last reset.
long FileOpCount(TFileOp op);
