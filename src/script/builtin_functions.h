// Handlers of the built-in functions, one per function number (entries of the table in
// builtins.cpp). Each follows the contract written at the top of script/builtins.h.
//
// Hooks of the variable store that built-in functions consult (all optional; without them the
// fallbacks below apply):
//  - entry 0 (names beginning with "_", and names FN$FLDS does not know): read with mode 1;
//  - entry 1, the execute hook of EXEC$: called as hook(file, kHookWrite) with the arguments text
//    on top of the ScratchStack; its text is the call's result, a failed text its status;
//  - entry 3, the relational-update hook of FILEREL (used when bit 4 of _UPSTAT is set): called
//    as hook(raw argument text of the call, kHookRead); its text is read as the call's number.
// A hook answering the failed TextRef kData declines, and the fallback runs.
#pragma once

#include "runtime/text/status.h"
#include "script/builtins.h"

namespace vodarir {

inline constexpr std::uint16_t kExecuteHook = 1;
inline constexpr std::uint16_t kRelationalUpdateHook = 3;
// Bit of _UPSTAT that hands FILEREL to the relational-update hook.
inline constexpr std::uint16_t kUpStatUseRelationHook = 4;

} // namespace vodarir

namespace vodarir::builtin {

// --- Length, substring, conditionals, nested scope (builtin_functions.cpp) ----------------------
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

// --- Texts and lists (builtin_text.cpp) ---------------------------------------------------------
// FN#PARM (t list [, x item [, t values]]): the item count; the position of item; the number at
// that position of values.
StatusCode ListPosition(const BuiltinCall& call);
// FN$PARM (t list, n item [-1], n separator [44]): item n of the list; empty beyond it.
StatusCode ListItemText(const BuiltinCall& call);
// FN$TRIM (x [, t mode ["BOTHTRIM"]]): LEFTTRIM, RIGHTRIM, BOTHTRIM or FIT (trim, unquote, else
// upper-case); another mode is 147.
StatusCode Trim(const BuiltinCall& call);
// FN$CHRS (x [, n count [1]]): the character of a code (0..255), or a text, repeated.
StatusCode Characters(const BuiltinCall& call);
// FN$CHNG (t subject, t what [, t with [, x flag]]): UCASE, LCASE, CLEAN, FILTER or replacement.
StatusCode Change(const BuiltinCall& call);
// ENVELOP$ (t [, n character [39]]): the text between the character and its closing partner.
StatusCode Envelop(const BuiltinCall& call);
// EXP$ (template; tokens...): every "$k_" of the template replaced by the raw text of token k.
StatusCode Template(const BuiltinCall& call);
// FN$MASK (t mask, x value [, n style [0]]): the value edited through the mask.
StatusCode Mask(const BuiltinCall& call);
// MACRO$ (t subject [, n flags [0] [, t names]]): bracket templates expanded, then evaluated with
// flags bit 8.
StatusCode Macro(const BuiltinCall& call);

// --- Dates and times (builtin_dates.cpp) --------------------------------------------------------
// FN#VALN (t [, t kind ["N"] [, x reference]]): a number, a part of a date, or date arithmetic.
StatusCode Value(const BuiltinCall& call);
// FN$DATE (x [, n style [0]]): a date in a display style.
StatusCode Date(const BuiltinCall& call);
// TIME$ (t time [, n style [0]]): a time of day read and written in a style.
StatusCode Time(const BuiltinCall& call);

// --- Variables, slots and evaluation (builtin_store.cpp) ----------------------------------------
// _$ (n group [30] [, n slot [0] [, t value]]): SlotStore access; stack groups from 30 on.
StatusCode Slots(const BuiltinCall& call);
// ENVRON$ (t name [, n slot [1]]): an environment slot, or a name=value entry of slot 0 or 1.
StatusCode Environment(const BuiltinCall& call);
// _# (x first [0] [, n second [0] [, n third [0]]]): the accumulators.
StatusCode Accumulator(const BuiltinCall& call);
// FN#ACUM (raw: expr; var; from; to): the sum of expr while var runs from from to to.
StatusCode Sum(const BuiltinCall& call);
// FN$FLDS (raw: name): a field, array element or variable read by its name, unevaluated.
StatusCode FieldValue(const BuiltinCall& call);

// --- Files (builtin_files.cpp) ------------------------------------------------------------------
// FN#FLEN (t): the length of a disk file, or a data file's record counter.
StatusCode FileLengthOf(const BuiltinCall& call);
// FILESEL (x [, n mode [1]]): selects a data file, closes a text-file handle or opens a text file.
StatusCode FileSelect(const BuiltinCall& call);
// READ$ (x source [, n position [0] [, n count [-1]]]): a line of a handle or a file's text.
StatusCode Read(const BuiltinCall& call);
// WRITE (x target, n position, t text): writes to a handle or a file; position -2 merges
// key=value entries into the file and runs it.
StatusCode Write(const BuiltinCall& call);
// EXEC$ (t file [, t arguments]): runs a procedure file or hands the call to the execute hook.
StatusCode Execute(const BuiltinCall& call);

// --- Data files and sort areas (builtin_data.cpp) -----------------------------------------------
// FILEFIND (t file, n key [, n] [, n]).
StatusCode FileFind(const BuiltinCall& call);
// FILEREL (n source, n target, n relation [, n mode]; update expression...).
StatusCode FileRelation(const BuiltinCall& call);
// FILELOCATE (t action ["NXT"] [, n file]).
StatusCode FileLocate(const BuiltinCall& call);
// KEY$ (n file, n key [, n] [, n]): the key text of the current record.
StatusCode Key(const BuiltinCall& call);
// IER ([n file]): the last input/output status.
StatusCode IoStatus(const BuiltinCall& call);
// SORT$ (t command, ...): sort work areas.
StatusCode Sort(const BuiltinCall& call);

} // namespace vodarir::builtin
