#include "framework/FloatingPoint.h"

void InitFloatingPoint() {
    uint16_t word = ProgramFpuControlWord;
    __asm__ __volatile__("fclex\n\tfldcw %0" : : "m"(word));
}

uint16_t CurrentFpuControlWord() {
    uint16_t word = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}
