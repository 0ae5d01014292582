// Help: the application's help pages in the web browser, topics of its help text file in a
// message box, and where help files are looked for.
//
// Where: a name is tried as given (the current directory), then in the default folder
// (environment slot 0.5), then in the help folder (environment slot 0.7); when none has it, the
// same name with the language suffix of the current language (environment slot 0.4) before its
// extension is tried the same way ("index.html" -> "index_es.html").
//
// Ownership: paths answered are placed on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Topics up to this number are records of kind 1 in the help file, larger ones of kind 3.
inline constexpr std::uint16_t kHelpShortTopicLimit = 100;

// With about set, the About box. Otherwise the application's help index ("CLindex.html" for the
// application "CLIENTES"), else the generic "index.html", opened in the web browser without
// waiting; when neither exists, the information box of messages "0071" and "0072". The topic is
// kept for callers that name one; the index is what opens.
void HelpShow(TextRef topic, bool about);
// The path of a help file, absolute; an empty name stands for the application's help text file
// (prefix + "HELP.HLP"). Empty when nothing is found.
TextRef HelpFind(TextRef name);
// "file,topic": the topic's lines of the help file; the first is the caption and the rest, joined
// with CR LF, the text of an information box. kFileNotFound when the file or the topic has no
// lines.
StatusCode HelpTopic(TextRef fileAndTopic);
// The help folder (environment slot 0.7) becomes the pattern formatted with the lower-case
// language code: a "%s" in it receives the code, "%%" is one "%", any other "%" stays as it is.
// kStringTooLong when the result would be longer than a path may be.
StatusCode HelpFolderSet(TextRef pattern);

} // namespace vodarir
