// Letter case in the Windows-1252 code page, the machine's ANSI code page.
#pragma once

// The upper-case form of a Windows-1252 character: a-z, the accented letters
// (à to þ except ÷), š, œ, ž and ÿ have one; every other character, ß and µ
// among them, is returned unchanged.
char UpperCaseWindows1252(char character);
