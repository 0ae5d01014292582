// The About box: the year, the product, the version, the program path and its folders in an
// information box.
#include "runtime/ui/about_box.h"

#include "host/paths.h"
#include "runtime/messages/messages.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/cp1252_literal.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr std::uint16_t kAboutLimit = 1024;
constexpr TextRef kAboutYear = "2015"_t;
constexpr TextRef kAboutVersion = "2.09p"_t;
constexpr SlotIndex kProductSlot = 3;

// The built-in messages have no About text; without a language file that has one, this says the
// same in the built-in language, so the box is never empty.
constexpr auto kBuiltinAbout =
    Cp1252("© %s %s\r\nVersión %s\r\n\r\nPrograma: %s\r\nCarpeta por defecto: %s\r\n"
           "Carpeta de datos comunes: %s");

} // namespace

void AboutShow() {
    ScratchScope scope;
    // The message text is the format; it comes from a language file, so only its "%s" are
    // filled, whatever else it holds.
    const TextRef format = MsgText("0076");
    const TextRef text = TextFill(
        kAboutLimit, format.failed() || format.empty() ? kBuiltinAbout.text() : format,
        {kAboutYear, TextDup(SlotGet(slotgroup::kEnvironment, kProductSlot)), kAboutVersion,
         RunPath(0), AppFolder(AppFolderKind::Default), AppFolder(AppFolderKind::Data)});
    if (text.failed()) {
        StatusReport(text.status());
    } else {
        MsgInfo(MsgText("0075"), text);
    }
}

} // namespace vodarir
