// Preparation of an expression text before it is evaluated: blanks outside quotes removed, the
// input macros expanded, parentheses counted (evaluator internals).
#pragma once

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The input macros and, in the same order, their expansions (printf-style "%s" placeholders for
// the macro's arguments). Only the first two are expanded before evaluation.
inline constexpr char kInputMacroNames[] = "_ACCEPT$(,_ACCEPT#(,_OTHER$(";
inline constexpr char kInputMacroExpansions[] =
    "FN$TRIM(FN$PARM(_$(.envvar;.dialog);%s);'FIT'),"
    "FN#VALN(FN$TRIM(FN$PARM(_$(.envvar;.dialog);%s);'FIT')),"
    "puretest(%s)+puretest(%s)";
// A macro's arguments beyond this many are not passed to its expansion.
inline constexpr int kMaxMacroArguments = 6;

// The working copy of text, one new ScratchStack level above the caller's depth: every blank
// outside quoted literals removed, then every "_ACCEPT#(" and "_ACCEPT$(" outside quotes expanded
// until none is left. Fails with kLoopFailure when "(" and ")" outside quotes do not pair up in
// number, kStringTooLong when an expansion would pass 65535 bytes, kOutOfMemory when the stack is
// full; a failure leaves the stack as it was.
TextRef PrepareExpression(TextRef text);

} // namespace vodarir
