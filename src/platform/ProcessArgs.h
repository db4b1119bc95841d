#pragma once

#include <string>
#include <string_view>
#include <vector>

// Windows hands a program one command-line string; the program's C runtime cuts
// it into arguments. We start programs from argument lists, so a parameter string
// written for Windows is cut here by the same rules (those of the Microsoft C
// runtime since 2008, which CommandLineToArgvW follows for everything after the
// program name):
//  - blanks and tabs outside double quotes separate arguments;
//  - a double quote toggles quoting and is dropped; inside quotes, "" stands for
//    one literal quote and quoting goes on;
//  - 2n backslashes before a quote become n backslashes and the quote acts as
//    above; 2n+1 backslashes before a quote become n backslashes and a literal
//    quote; backslashes anywhere else are literal;
//  - "" outside quotes is an empty argument; an unclosed quote ends at the end.
// Nothing else is special: "$(...)", ";", "|", "*" and "~" are ordinary characters.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The inverse: one argument quoted so that SplitCommandLine gives it back
// unchanged (no quotes when none are needed).
std::string QuoteArgument(std::string_view argument);
