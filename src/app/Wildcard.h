#pragma once
// Wildcard matching of names, as the folder filter and search use it. Any thread may call it.

// True when the zero-terminated string s matches pattern: '*' stands for any run of units (none
// included), '?' for exactly one unit, every other unit for itself, compared without case folding. An
// empty pattern matches only the empty string. Time grows with the product of the two lengths at worst,
// and the stack does not grow with the pattern.
bool MatchWildcard(const wchar_t* s, const wchar_t* pattern);
