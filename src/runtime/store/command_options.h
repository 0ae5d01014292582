// Options of the stored command line: "/NAME=value" or "/NAME:value" words after the program.
//
// Ownership: values are answered on the ScratchStack (caller's level discipline). The command
// line itself lives in environment slot 0.1, stored there by RuntimeStart.
#pragma once

#include <cstdint>

#include "runtime/text/text_ref.h"

namespace vodarir {

// The runtime's options by number; item 1 has two spellings separated by ";".
inline constexpr TextRef kCommandOptions = TextView(
    "?;HELP,APNAME,APSTART,DPATH,SCRWID,SCRHIG,INPUT,OUTPUT,FILE,INDEX,DEVICE,RUN,MODE,TRACE");
namespace cmdoption {
inline constexpr int kHelp = 1;
inline constexpr int kApName = 2;
inline constexpr int kApStart = 3;
inline constexpr int kDataPath = 4;
inline constexpr int kScreenWidth = 5;
inline constexpr int kScreenHeight = 6;
inline constexpr int kInput = 7;
inline constexpr int kOutput = 8;
inline constexpr int kFile = 9;
inline constexpr int kIndex = 10;
inline constexpr int kDevice = 11;
inline constexpr int kRun = 12;
inline constexpr int kMode = 13;
inline constexpr int kTrace = 14;
} // namespace cmdoption

// The value of the option called name: the first word (after the program) that reads "/" name,
// optionally followed by "=" or ":" and the value, the name matched as written and, when no word
// has it so, in any letter case. A word quoted as a whole and a quoted value lose their quotes.
// Empty when the option is absent or has no value; found reports whether it was there.
TextRef CommandLineOption(TextRef name, bool* found = nullptr);
// The option of kCommandOptions numbered n (any of its spellings); empty for another number.
TextRef CommandLineOptionNumber(int n, bool* found = nullptr);

} // namespace vodarir
