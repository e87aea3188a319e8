// The string library: conversions between numbers, booleans, characters and
// text, padding, trimming, case, substrings and base conversion. Results are
// cut at 255 characters. Positions count from 1.
//
// Positions and lengths outside the string are clamped, never an error: a
// position below 1 counts as 1, a length below 0 as 0, and a window that runs
// past the end stops at the end (SUBSTRING("abc", 0, 2) is "ab",
// SUBSTRING("abc", 3, 9) is "c", SUBSTRING("abc", 4, 1) is ""). INSERTSTR at a
// position past the end appends.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "symbols/value.h"

namespace zav {

struct Interp;
struct Settings;

// Ends the run with "Error (string lib): <message>".
[[noreturn]] void stringLibError(Interp& in, std::string_view message);

std::string strInt2Str(std::int32_t n);                                                         // INT2STR
std::string strPadInt(std::int32_t n, std::int32_t width, char pad);                            // PADINT
std::string strToBase(Interp& in, std::int32_t n, std::int32_t base);                           // TOBASE, base 2..36
std::string strBool2Str(bool b);                                                                // BOOL2STR
char strChr(Interp& in, std::int32_t n);                                                        // CHR, 0..255
std::int32_t strOrd(char c);                                                                    // ORD, 0..255
std::string strReal2Str(const Settings& s, Real x, std::int32_t width, std::int32_t decimals);  // REAL2STR

std::string strToUpper(std::string_view s);  // ASCII letters only
std::string strToLower(std::string_view s);
std::string strTrimL(std::string_view s);  // the blank character only, not tabs
std::string strTrimR(std::string_view s);
std::string strTrim(std::string_view s);

std::string strLeft(std::string_view s, std::int32_t n);                          // LEFTSTRING
std::string strRight(std::string_view s, std::int32_t n);                         // RIGHTSTRING
std::string strSub(std::string_view s, std::int32_t pos, std::int32_t n);         // SUBSTRING
std::string strDelete(std::string_view s, std::int32_t pos, std::int32_t n);      // DELETESUBSTR
std::string strInsert(std::string_view s, std::string_view t, std::int32_t pos);  // INSERTSTR: t into s
std::int32_t strPos(std::string_view s, std::string_view t);    // POS: first position of t in s, 0 if none
std::int32_t strLen(std::string_view s);                        // STRINGLEN
std::string strConcat(std::string_view s, std::string_view t);  // CONCAT (and ADD on strings)
// STRINGREPLACE: old -> repl in s; the first occurrence only when firstOnly;
// letters compared ignoring case unless caseSensitive. An empty old changes nothing.
std::string strReplace(std::string_view s, std::string_view old, std::string_view repl, bool firstOnly,
                       bool caseSensitive);

// STRING2INT and STRING2REAL: the text must be one number of the literal
// syntax (an integer form, or an integer or real form); anything else stops
// the run.
std::int32_t strToInt(Interp& in, std::string_view s);
Real strToReal(Interp& in, std::string_view s);

// MAX and MIN of strings: the order of character codes (0..255).
int strCompare(std::string_view a, std::string_view b);  // <0, 0, >0

// Seconds as "hh:mm:ss" (whole seconds; hours take more digits when needed).
std::string durationText(Real seconds);
// The name without its extension: cut at the last "." of the last path part.
std::string stripExtension(std::string_view name);

}  // namespace zav
