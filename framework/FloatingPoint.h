// The floating-point unit as the program runs it: 80-bit extended precision and rounding
// to nearest for the x87 unit, whose `long double` results several pixel computations
// depend on.
#pragma once
#include <cstdint>

// The x87 control word the program runs with: all exceptions masked, 64-bit mantissa,
// round to nearest. Exceptions stay masked so that no hardware trap can surface inside
// Win32 or C runtime code that does not expect one; the code paths whose errors the user
// must see ("0 による浮動小数点数除算", "不正な浮動小数点数演算命令") test their operands
// and raise those errors themselves.
constexpr uint16_t ProgramFpuControlWord = 0x037F;

// Loads ProgramFpuControlWord into the x87 unit of the calling thread.
void InitFloatingPoint();
// The current x87 control word.
uint16_t CurrentFpuControlWord();
