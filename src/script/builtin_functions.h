// Handlers of the built-in functions, one per function number (entries of the table in
// builtins.cpp). Each follows the contract written at the top of script/builtins.h.
#pragma once

#include "runtime/messages/status.h"
#include "script/builtins.h"

namespace vodarir::builtin {

// FN#SLEN (t [empty]): the length of the text.
StatusCode TextLength(const BuiltinCall& call);
// FN$MIDS (t, n start [-1], n length [-1]): a substring; start counts from 1, a negative start
// from the end (-1 is the last character), a negative length runs to the end.
StatusCode Middle(const BuiltinCall& call);
// CHK# (raw: cond; a [; b ...]) and CHK$: a when cond is not 0, else the last of b ...
StatusCode CheckNumber(const BuiltinCall& call);
StatusCode CheckText(const BuiltinCall& call);
// SQLCHILD (any): its arguments were evaluated in a nested scope; the result is 0.
StatusCode SqlChild(const BuiltinCall& call);

} // namespace vodarir::builtin
