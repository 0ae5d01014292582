// Fuzz target: the application check and where-used over a whole application folder. The input is
// the folder's files separated by lines "~~~~": the dictionary (FZDICC.DAT), its relations
// (FZREL.DAT), a screen file and its parameter file (FZPANT.PAN, FZPANT.PPN), a script
// (FZCALC.PRX), a document (FZDOC.PDC) and a selection list (FZAPPS.ZAA).
//
// Properties: the check ends on any files the loaders accept or refuse; the scratch stack is
// back where it was and the runtime's dictionary is what it was before (a known one is set aside
// and given back); the counts agree with the problems, each problem names a file and a code, and
// a second check gives the same problems; where-used of every field the dictionary has finds only
// places of files the folder holds; the field references of any text lie inside it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "designer/app_check.h"
#include "dictionary/dictionary.h"
#include "fuzz_support.h"

namespace vodarir {
namespace {

using fuzz::Require;

constexpr const char* kNames[] = {"FZDICC.DAT", "FZREL.DAT", "FZPANT.PAN", "FZPANT.PPN",
                                  "FZCALC.PRX", "FZDOC.PDC", "FZAPPS.ZAA"};
constexpr std::size_t kParts = sizeof kNames / sizeof kNames[0];

std::vector<std::string> Described(const CheckReport& report) {
    std::vector<std::string> out;
    for (const CheckProblem& p : report.problems) {
        out.push_back(p.file + "|" + PlaceText(p.place) + "|" + p.code + "|" + p.sentence);
    }
    return out;
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::ClearFolder();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> parts = fuzz::SplitParts(input, kParts);
    for (std::size_t i = 0; i < parts.size(); ++i) fuzz::WriteFile(kNames[i], parts[i]);

    // A dictionary of the runtime's own, which the check must give back.
    ClearDictionary();
    fuzz::WriteFile("KEDICC.DAT", "01* *  propio\r\n0100<      4>NUNO\r\n");
    Require(LoadDictionary(TextView(fuzz::Folder()), TextView("KE"), TextRef()) == status::kOk);
    std::remove(fuzz::FolderFile("KEDICC.DAT").c_str());

    const ScratchLevel depth = ScratchDepth();
    const CheckReport report = CheckApplication(fuzz::Folder());
    fuzz::RequireBalanced(depth);
    fuzz::RequireInvariants();
    Require(FileCount() == 1 && FieldCount(1) == 1 && CheckpointDepth() == 0);
    std::uint32_t errors = 0;
    std::uint32_t warnings = 0;
    for (const CheckProblem& p : report.problems) {
        ++(p.severity == Severity::Error ? errors : warnings);
        Require(!p.file.empty() && !p.code.empty() && !p.sentence.empty());
    }
    Require(errors == report.errors && warnings == report.warnings);
    Require(Described(CheckApplication(fuzz::Folder())) == Described(report));

    // Where-used of every field of the folder's dictionary, and of each whole file.
    std::vector<std::string> refs;
    {
        const WhereResult probe = WhereUsed(fuzz::Folder(), "{1}");
        if (probe.resolved) {
            for (std::uint16_t f = 1; f <= 3; ++f) {
                refs.push_back("{" + std::to_string(f) + "}");
                for (std::uint16_t k = 1; k <= 3; ++k) {
                    refs.push_back(std::to_string(k) + "{" + std::to_string(f) + "}");
                }
            }
        }
    }
    for (const std::string& ref : refs) {
        const WhereResult where = WhereUsed(fuzz::Folder(), ref);
        fuzz::RequireBalanced(depth);
        for (const UseSite& use : where.uses) {
            bool known = false;
            for (const char* name : kNames) known = known || use.file == name;
            Require(known && !use.text.empty());
        }
    }
    Require(FileCount() == 1 && CheckpointDepth() == 0);

    // The references of any text lie inside it, in order.
    for (std::string_view part : parts) {
        std::size_t last = 0;
        for (const FieldRefUse& use : FieldRefsIn(part)) {
            Require(use.offset <= part.size() && use.offset >= last);
            last = use.offset;
        }
        fuzz::RequireBalanced(depth);
    }
    ClearDictionary();
    return 0;
}
