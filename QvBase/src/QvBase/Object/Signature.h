#pragma once
#include <string>

// "2 sigProxy( bool )" -> "2sigProxy(bool)": blanks and tabs next to '(' ',' ')'
// and at the ends go, a run of them between words shrinks to one. Empty when the
// text is null or does not start with the code digit '1' (slot) or '2' (signal).
std::string NormalizeSignature(const char* text);

// Whether a member taking `member`'s parameters may receive `signal`'s: the same
// list, a leading part of it ending at a parameter boundary, or none. Both texts
// are without code digit.
bool SignaturesCompatible(const char* signal, const char* member);
