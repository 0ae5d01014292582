// What the screen-file fuzz target checks, shared with the test that replays its seeds in the
// normal build. The input is a screen file or a parameter file and what to do with it:
//   byte 0: the subject (even: a screen file, odd: a parameter file) and, in bit 1, whether
//           numeric lengths are widened (_COMPAT bit 64);
//   byte 1: the block (screen number) to read, taken modulo 100;
//   byte 2: a field number (parameter files) or where a change of the text starts (screen files);
//   byte 3: how many bytes that change removes;
//   then a length-prefixed text (what the change inserts, or the value a form line is given), and
//   the rest: the file's bytes.
// Properties: reading never fails otherwise than with 146 (a line too long); what is read holds
// the model's invariants; a screen written and read again is written the same (a fixed point)
// without any note; rewriting its block leaves every other block as it was; a change of the text
// keeps the invariants; a parameter block's items join back to its text, its form's specification
// is well formed, and a form confirmed unchanged changes nothing; the scratch stack is balanced.
// The runtime must be started (RuntimeInit) before the first run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "designer/attribute_form.h"
#include "designer/screen_model.h"
#include "fuzz_input.h"
#include "host/numbered_files.h"
#include "host/text_files.h"
#include "runtime/text/scratch_stack.h"
#include "script/prompt_spec.h"

namespace vodarir::fuzz {

using Records = std::vector<std::string>;

inline bool WriteFile(const std::string& path, TextRef bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data, bytes.size());
    return static_cast<bool>(out);
}

inline bool ReadOk(StatusCode st) { return st == status::kOk || st == status::kStringTooLong; }

inline bool CheckScreenFile(const std::string& path, std::uint16_t number, bool widen,
                            std::size_t at, std::size_t removed, TextRef inserted) {
    const TextRef file = TextView(path);
    Records records;
    StatusCode st = ReadBlock(file, LineKind::Screen, number, &records);
    if (!ReadOk(st)) return false;
    if (st != status::kOk) return true;
    std::uint16_t highest = 0;
    if (HighestBlock(file, LineKind::Screen, &highest) != status::kOk ||
        highest > kMaxBlockNumber) {
        return false;
    }
    const LoadedScreen loaded = ScreenFromRecords(records, widen);
    if (!CheckInvariants(loaded.model, nullptr)) return false;
    Records written;
    if (RecordsFromScreen(loaded.model, &written).refusal == StoreRefusal::None) {
        const LoadedScreen again = ScreenFromRecords(written);
        Records twice;
        if (!again.notes.empty() || !CheckInvariants(again.model, nullptr)) return false;
        if (RecordsFromScreen(again.model, &twice).refusal != StoreRefusal::None) return false;
        if (twice != written) return false;
        // The block rewritten in the file: it reads back, and a neighbouring block is untouched.
        const std::uint16_t other = number == kMaxBlockNumber ? 1 : number + 1;
        Records before;
        if (ReadBlock(file, LineKind::Screen, other, &before) != status::kOk) return false;
        if (RewriteBlock(file, LineKind::Screen, number, written) != status::kOk) return false;
        Records back;
        Records after;
        if (ReadBlock(file, LineKind::Screen, number, &back) != status::kOk || back != written) {
            return false;
        }
        if (ReadBlock(file, LineKind::Screen, other, &after) != status::kOk || after != before) {
            return false;
        }
    }
    ScreenModel changed = loaded.model;
    std::string text = changed.text;
    at = std::min(at, text.size());
    text.replace(at, std::min(removed, text.size() - at), inserted.view());
    ApplyTextChange(changed, text);
    return CheckInvariants(changed, nullptr);
}

inline std::string AllKeywords() {
    std::string all;
    for (const ScreenTypeRow& row : ScreenTypes()) all += std::string(row.keywords) + ",";
    return all;
}

inline bool CheckParameterFile(const std::string& path, std::uint16_t number, std::uint16_t field,
                               TextRef value) {
    const TextRef file = TextView(path);
    Records records;
    const StatusCode st = ReadBlock(file, LineKind::Parameters, number, &records);
    if (!ReadOk(st)) return false;
    if (st != status::kOk) return true;
    const std::string text = JoinAttributeItems(records);
    if (JoinAttributeItems(AttributeItems(text)) != text) return false;
    const std::string keywords = field == 0 ? AllKeywords() : std::string(kFieldKeywords);
    const AttributeFormPlan plan = PlanAttributeForm(keywords, text, field, "SCR_MAIN.HLP");
    if (plan.lines.empty()) return false; // every list offers some keyword
    const std::string spec = FormSpecification(plan);
    if (spec.size() <= kMaxTextLength && PromptCheck(TextView(spec)) != status::kOk) return false;
    std::vector<std::string> values;
    for (const FormLine& line : plan.lines) values.push_back(line.shown);
    const FormApplied same = ApplyFormValues(plan, text, values);
    if (same.changed || same.refusal != ValueRefusal::None || same.attributes != text) {
        return false;
    }
    // One line given the fuzzer's value: refused with the text as it was, or written so that
    // every item still fits a line of the file.
    values[value.size() % values.size()] = std::string(value.view());
    const FormApplied edited = ApplyFormValues(plan, text, values);
    if (edited.refusal != ValueRefusal::None) return edited.attributes == text && !edited.changed;
    const std::vector<std::string> lines = ParameterLines(edited.attributes);
    if (JoinAttributeItems(lines) != edited.attributes) return false;
    return RewriteBlock(file, LineKind::Parameters, number, lines) == status::kOk;
}

// `folder` is a folder of the checks' own; each run writes its file there.
inline bool CheckScreenFileInput(const std::uint8_t* data, std::size_t size,
                                 const std::string& folder) {
    const ScratchLevel depth = ScratchDepth();
    Input in(data, size);
    const std::uint8_t subject = in.Byte();
    const auto number = static_cast<std::uint16_t>(in.Byte() % (kMaxBlockNumber + 1));
    const std::uint8_t third = in.Byte();
    const std::uint8_t fourth = in.Byte();
    const TextRef text = in.Text();
    const TextRef content = in.Rest();
    const bool parameters = (subject & 1) != 0;
    const std::string path = folder + (parameters ? "/FUZZ.PPN" : "/FUZZ.PAN");
    if (!WriteFile(path, content)) return false;
    bool ok = false;
    {
        ScratchScope scope;
        ok = parameters
                 ? CheckParameterFile(path, number, third, text)
                 : CheckScreenFile(path, number, (subject & 2) != 0, third * 8u, fourth, text);
    }
    return ok && ScratchDepth() == depth;
}

} // namespace vodarir::fuzz
