// Where the main window's slots and buttons are, in client pixels of the 96 dpi layout:
// the points the UI tests click.
#pragma once
#include <windows.h>

const POINT kSlotCentre[4] = {{96, 76}, {288, 76}, {96, 220}, {288, 220}};
const POINT kPrintButton = {100, 312};
const POINT kClearButton = {296, 312};
