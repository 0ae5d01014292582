// The screen report: the attribute settings of one screen of a screen file, read from its
// parameter file (the items KEY=value of the screen's block). The known keywords come first, in a
// fixed order, each followed by its prefixed forms (PREFIX.KEYWORD); then every item no keyword
// names, marked "(*) ". Two such reports compare line by line, keyed by the text before "=".
//
// Reports and their items are std::strings of cp1252 bytes, owned by the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The attribute keywords of the screen kinds, as the screen editor offers them, and the other
// keywords a screen may carry.
namespace screenkeywords {
inline constexpr std::string_view kMenu = "MODULES$,MENU$,CALLER$,SUBMENU$,LOAD$,EXEC$,COUNTER$";
inline constexpr std::string_view kBasic =
    "SCREENSIZE$,SET$,OPEN$,EDIT$,NOEDIT$,WRITE$,DOC$,DOCSETS$,HELP$,SAVED$,HIDDEN$,RELOPT%,"
    "UNICNDX%,AUTONDX%,KEYMAP%,SCANDEF$,SCANWIN$,SCANSET$,VOIDMODE%";
inline constexpr std::string_view kExtended =
    "NUMCAB$,WRITECAB0$,WRITECABS$,WRITELINS$,FITCLC$,FTCLC$,READLINS$,LNINS$,LNDEL$,ALARMLINS$,"
    "BOUNDS$,DOCTYPETXT$,MODE$,FASTFIND$,FLDUPDATE$,BEGINFLD%,MAXLIN%";
inline constexpr std::string_view kField =
    "FD$,ALARM$,ASSIGN$,LNASSIGN$,FILEDEF$,PERFORM$,UPDFIELDS$,WIDTHS$,TYPES$,WINDOWS$,CLEAR$,"
    "ON_CONFIRM$,ON_CANCEL$,USR_COND$,IK$(1),IK$(2),IK$(3)";
inline constexpr std::string_view kListing =
    "ATEND$,BRKEND$,BREAK$,COND$,MAXLINE%,LINESTEP%,TOTALBASE%,CONTINUE%,EXTRASTEP%,TITLE$,WD";
inline constexpr std::string_view kReport =
    "DEVICE$,DOCNAME$,ACBOUND$,INDEX%,LIMITS$,AUXLOAD$,RESET$,STEPS$,PRCNAME$";
inline constexpr std::string_view kImport =
    "ACCEPT_PRC%,WINNAME$,PROG_MODE$,PARM_FILE$,PARM_FILE_WRITE$,SOURCEFILE%,IMP_MODE%,RD_EXP$,"
    "WR_EXP$,EOT_EXP$,RD_COND$,TARGET$,LOAD_IMPORT$,MNU_IMPORT$,AUTO_IMPORT$,STRUCT$";
} // namespace screenkeywords

// Every known keyword, in the order the report lists them: the menu, basic, extended and field
// sets, the listing keywords, the report set, the import keywords.
const std::vector<std::string_view>& KnownScreenKeywords();

// The items of screen `screen`'s block of the parameter file (its lines, each split at ":"
// outside quotes), appended to *items. A bare name is looked for along the definitions folders.
// kFileNotFound when the file is not there, kPermissionDenied when it may not be read, kOpen when
// it is no file, kRead when it cannot be read whole (the path is the error detail); *items is then
// left as it was.
StatusCode ReadScreenItems(TextRef parameterFile, std::uint16_t screen,
                           std::vector<std::string>* items);

// The report of a screen's items: the known keywords' lines (joined with CR LF), CR LF, the
// unknown items' lines; the CR LF between only when both parts have lines. Empty when neither has.
std::string ScreenReportText(const std::vector<std::string>& items);
// The report as HTML: names escaped, and "<br>" before every CR LF.
std::string ScreenReportHtml(std::string_view text);

// The comparison of a saved report with a new one, as entries of three lines (each ending with
// CR LF): a marker of "." over the common start of the two lines with "#" at the first column
// that differs, the old line, the new line. A new line that equals the next saved one is passed;
// otherwise the saved lines up to the next one with its key (the text before "=") are reported
// removed and that one changed; with no such line the new one is reported added. Saved lines left
// over at the end are reported removed. Empty lines are passed over. Empty: no difference.
std::string CompareScreenReports(std::string_view saved, std::string_view now);

// The lines of a text, split at CR LF, LF or CR (as the line reader does); a last line without its
// end counts, an empty text has none.
std::vector<std::string_view> ReportLines(std::string_view text);

} // namespace vodarir
