// The rest of the number and text utilities for the reference reader: the
// product's own, with its StrToFloatOr0 set aside for the one in
// reference/NumberReading.cpp.
#define StrToFloatOr0 StrToFloatOr0_NotTheReference
#include "../../src/util/MyFunc.cpp"
#include "../../src/util/NumberReading.cpp"
