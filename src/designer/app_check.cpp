#include "designer/app_check.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "designer/app_selector.h"
#include "designer/attribute_form.h"
#include "designer/document_editor.h"
#include "designer/screen_model.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_lines.h"
#include "host/numbered_files.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/evaluator.h"
#include "script/tokens.h"

namespace vodarir {

namespace {

// The runtime's screens are 24 rows of 80 columns.
constexpr std::uint16_t kScreenRows = 24;
constexpr std::uint16_t kScreenColumns = 80;
constexpr std::size_t kPrefixLength = 2;
constexpr char kDictionarySuffix[] = "DICC.DAT";
constexpr char kLoopMarker = '\xBB'; // the editor's character of a document's loop marker
constexpr char kCommentStart = ';';
// The keywords whose items name fields of FD$.
constexpr const char* kNameKeywords[] = {"EDIT$", "NOEDIT$", "HIDDEN$", "BOUNDS$"};
constexpr char kBindingKeyword[] = "FILEDEF$";

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
    return name.size() >= suffix.size() &&
           Upper(name.substr(name.size() - suffix.size())) == Upper(suffix);
}

std::string Join(const std::string& folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder + std::string(name)
                                       : folder + "/" + std::string(name);
}

bool IsAbsolute(std::string_view path) {
    return !path.empty() &&
           (path[0] == '/' || path[0] == '\\' || (path.size() > 1 && path[1] == ':'));
}

// The names in the folder (the host's own listing, sorted); empty when it cannot be read.
std::vector<std::string> NamesIn(const std::string& folder) {
    ScratchScope scope;
    std::vector<std::string> names;
    if (FileFind(TextFromString(Join(folder, "*"))) != status::kOk) return names;
    const std::string_view all = ScratchTop().view();
    std::size_t from = 0;
    while (from <= all.size()) {
        const std::size_t end = std::min(all.find('\0', from), all.size());
        if (end > from) names.emplace_back(all.substr(from, end - from));
        from = end + 1;
    }
    return names;
}

bool Exists(const std::string& path) {
    return path.size() < kMaxTextLength && PathExists(TextFromString(path));
}

std::string StatusSentence(StatusCode st) {
    ScratchScope scope;
    return "status " + std::to_string(st) + " (" + std::string(StatusName(st).view()) + ")";
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// The comma items of a keyword's value as the runtime reads them (trimmed).
std::vector<std::string> KeywordItems(std::string_view attributes, std::string_view keyword) {
    ScratchScope scope;
    const TextRef value = TextOptGet(TextFromString(attributes), TextFromString(keyword));
    std::vector<std::string> items;
    if (value.failed() || value.empty()) return items;
    const std::uint16_t count = ListCount(value, ',');
    for (std::uint16_t i = 1; i <= count; ++i)
        items.push_back(Trimmed(ListItem(value, ',', i).view()));
    return items;
}

std::string FileLabel(std::uint16_t file) {
    ScratchScope scope;
    return std::to_string(file) + " (" + std::string(FileName(file).view()) + ")";
}

std::string RefText(std::uint16_t file, std::uint16_t field) {
    ScratchScope scope;
    return std::string(FieldName(file, field).view()) + "{" + std::string(FileName(file).view()) +
           "}";
}

// Problems of one file.
class Problems {
public:
    Problems(CheckReport* report, std::string file) : report_(report), file_(std::move(file)) {}
    void Add(Severity severity, CheckPlace place, std::string code, std::string sentence) {
        ++(severity == Severity::Error ? report_->errors : report_->warnings);
        report_->problems.push_back(
            CheckProblem{severity, file_, std::move(place), std::move(code), std::move(sentence)});
    }
    void Error(CheckPlace place, std::string code, std::string sentence) {
        Add(Severity::Error, std::move(place), std::move(code), std::move(sentence));
    }
    void Warning(CheckPlace place, std::string code, std::string sentence) {
        Add(Severity::Warning, std::move(place), std::move(code), std::move(sentence));
    }
    void LoadFailed(StatusCode st) {
        Error({}, "load-failed", "The file could not be read: " + StatusSentence(st) + ".");
    }
    const std::string& file() const { return file_; }

private:
    CheckReport* report_;
    std::string file_;
};

CheckPlace At(PlaceKind kind, std::uint16_t number, std::uint16_t item = 0,
              std::string keyword = {}) {
    return CheckPlace{kind, number, item, std::move(keyword)};
}

// ---- The dictionary ---------------------------------------------------------------------------

// The runtime's one dictionary set aside for the check and given back after it.
class DictionaryAside {
public:
    DictionaryAside() : kept_(PushCheckpoint() == status::kOk) {
        if (!kept_) return;
        for (std::uint16_t f = FileCount(); f >= 1; --f) DeleteFile(f);
    }
    ~DictionaryAside() {
        if (kept_) PopCheckpoint();
    }
    DictionaryAside(const DictionaryAside&) = delete;
    DictionaryAside& operator=(const DictionaryAside&) = delete;
    bool kept() const { return kept_; }

private:
    bool kept_;
};

std::optional<std::string> DictionaryOf(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (name.size() == kPrefixLength + std::strlen(kDictionarySuffix) &&
            EndsWithNoCase(name, kDictionarySuffix)) {
            return name;
        }
    }
    return std::nullopt;
}

// The relations file that holds a relation item, when the item stands in one of its lines.
std::string RelationSource(const DictionaryTexts& texts, const std::string& structure,
                           std::string_view item) {
    for (const DictionaryTextFile& text : texts) {
        if (!EndsWithNoCase(text.name, "REL.DAT")) continue;
        for (const std::string& line : text.lines) {
            if (line.find(item) != std::string::npos) return text.name;
        }
    }
    return structure;
}

void CheckDictionary(CheckReport* report, const std::string& name, const DictionaryTexts& texts) {
    Problems problems(report, name);
    const std::uint16_t files = FileCount();
    for (std::uint16_t f = 1; f <= files; ++f) {
        std::string fileName;
        {
            ScratchScope scope;
            fileName = std::string(FileName(f).view());
        }
        for (std::uint16_t g = 1; g < f; ++g) {
            ScratchScope scope;
            if (FileName(g).view() == fileName) {
                problems.Error(At(PlaceKind::DictionaryFile, f), "file-name-repeated",
                               "File " + std::to_string(f) + " has the name " + Quoted(fileName) +
                                   " of file " + std::to_string(g) + ".");
                break;
            }
        }
        const std::uint16_t fields = FieldCount(f);
        if (fields == 0) {
            problems.Warning(At(PlaceKind::DictionaryFile, f), "file-without-fields",
                             "File " + FileLabel(f) + " has no fields.");
        }
        // The names once each: a name read from the store costs a walk of the store.
        std::vector<std::string> names;
        for (std::uint16_t k = 1; k <= fields; ++k) {
            ScratchScope scope;
            names.emplace_back(FieldName(f, k).view());
        }
        for (std::size_t k = 1; k < names.size(); ++k) {
            const auto first =
                std::find(names.begin(), names.begin() + static_cast<long>(k), names[k]);
            if (first == names.begin() + static_cast<long>(k)) continue;
            problems.Error(At(PlaceKind::DictionaryField, f, static_cast<std::uint16_t>(k + 1)),
                           "field-name-repeated",
                           "Field " + std::to_string(k + 1) + " of file " + FileLabel(f) +
                               " has the name " + Quoted(names[k]) + " of field " +
                               std::to_string(first - names.begin() + 1) + ".");
        }
        const std::uint16_t length = RecordLength(f);
        for (std::uint16_t i = 1; i <= IndexCount(f); ++i) {
            const IndexDefinitionRecord index = IndexDefinition(f, i);
            for (std::uint32_t s = 0; s < index.segmentCount && s < kMaxKeySegments; ++s) {
                const KeySegment& segment = index.segments[s];
                if (std::uint32_t{segment.start} + segment.length <= length) continue;
                problems.Error(At(PlaceKind::DictionaryIndex, f, i), "index-beyond-record",
                               "Segment " + std::to_string(s + 1) + " of index " +
                                   std::to_string(i) + " of file " + FileLabel(f) +
                                   " ends at byte " +
                                   std::to_string(std::uint32_t{segment.start} + segment.length) +
                                   ", beyond its record of " + std::to_string(length) + " bytes.");
                break;
            }
        }
        std::string relation;
        {
            ScratchScope scope;
            relation = std::string(RelationText(f).view());
        }
        for (const RelationTarget& target : RelationTargets(relation)) {
            if (target.target >= 1 && target.target <= files) continue;
            Problems in(report, RelationSource(texts, name, target.item));
            in.Error(At(PlaceKind::DictionaryFile, f), "relation-file-missing",
                     "The relation " + Quoted(target.item) + " of file " + FileLabel(f) +
                         " leads to file " + std::to_string(target.target) +
                         ", which the dictionary does not have.");
        }
    }
}

// ---- Expression texts -------------------------------------------------------------------------

// What the field references met so far resolved to, for one check: the dictionary does not change
// while it runs, and a reference read from the store walks the store.
using ResolvedRefs = std::unordered_map<std::string, std::pair<std::uint16_t, std::uint16_t>>;
ResolvedRefs* g_resolved = nullptr;

class ResolvedRefsScope {
public:
    ResolvedRefsScope() { g_resolved = &refs_; }
    ~ResolvedRefsScope() { g_resolved = nullptr; }
    ResolvedRefsScope(const ResolvedRefsScope&) = delete;
    ResolvedRefsScope& operator=(const ResolvedRefsScope&) = delete;

private:
    ResolvedRefs refs_;
};

std::pair<std::uint16_t, std::uint16_t> Resolved(TextRef token) {
    const std::string key(token.view());
    if (g_resolved != nullptr) {
        if (const auto found = g_resolved->find(key); found != g_resolved->end()) {
            return found->second;
        }
    }
    ScratchScope scope;
    const FieldEntryRecord entry = ResolveFieldRef(token);
    const std::pair<std::uint16_t, std::uint16_t> result{entry.file, entry.field};
    if (g_resolved != nullptr) g_resolved->emplace(key, result);
    return result;
}

void WalkTokens(const std::string& packed, std::uint32_t from, std::uint32_t length,
                std::uint16_t depth, const std::vector<std::uint32_t>& origin,
                std::vector<FieldRefUse>* out) {
    if (length == 0 || depth > kMaxEvalNesting) return;
    TokenCursor cursor =
        NewCursor(TextRef(packed.data() + from, static_cast<std::uint16_t>(length)));
    while (cursor.next < cursor.length) {
        AdvanceToken(cursor);
        const std::string_view token = TokenText(cursor).view();
        if (token.find('{') != std::string_view::npos) {
            const bool resolved = (cursor.cls & tokenclass::kField) != 0;
            if (resolved || cursor.status >= tokenclass::kFirstStatus) {
                FieldRefUse use;
                use.offset = origin[from + cursor.start];
                use.text = std::string(token);
                if (resolved) {
                    std::tie(use.file, use.field) = Resolved(TokenText(cursor));
                } else {
                    use.status = static_cast<std::uint16_t>(cursor.status);
                }
                out->push_back(std::move(use));
            }
        }
        if (cursor.groupLength > 0) {
            WalkTokens(packed, from + cursor.start + cursor.tokenLength + 1, cursor.groupLength,
                       static_cast<std::uint16_t>(depth + 1), origin, out);
        }
    }
}

// The line (from 1) of each offset: line breaks are CR LF, LF or CR.
class LineIndex {
public:
    explicit LineIndex(std::string_view text) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (text[i] == '\r' || text[i] == '\n') starts_.push_back(i + 1);
        }
    }
    std::uint16_t LineOf(std::size_t offset) const {
        const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
        const auto line = static_cast<std::size_t>(it - starts_.begin());
        return static_cast<std::uint16_t>(std::min<std::size_t>(line, 0xFFFF));
    }

private:
    std::vector<std::size_t> starts_;
};

std::string UnresolvedSentence(const FieldRefUse& use) {
    switch (use.status) {
    case status::kStringTooLong:
        return "The text is too long to read as an expression.";
    case 161:
        return "The field reference " + Quoted(use.text) +
               " names a file the dictionary does not have.";
    case 168:
        return "The field reference " + Quoted(use.text) +
               " names a field number its file does not have.";
    default:
        return "The field reference " + Quoted(use.text) + " names no field of the dictionary.";
    }
}

// ---- Screens ----------------------------------------------------------------------------------

// Where-used: what a check collects of the uses of one field or file, when asked.
struct UseFilter {
    std::uint16_t file = 0;
    std::uint16_t field = 0;
    std::vector<UseSite>* uses = nullptr;
    bool Matches(std::uint16_t f, std::uint16_t k) const {
        return uses != nullptr && f == file && (field == 0 || k == field);
    }
    void Add(const std::string& name, CheckPlace place, std::string what, std::string text) const {
        uses->push_back(UseSite{name, std::move(place), std::move(what), std::move(text)});
    }
};

bool BindingResolves(std::uint16_t file, std::uint16_t field) {
    return file >= 1 && file <= FileCount() && field >= 1 && field <= FieldCount(file);
}

// A FILEDEF$ item: a field reference, or "file;field".
std::optional<std::pair<std::uint16_t, std::uint16_t>> ResolveBinding(const std::string& item) {
    {
        ScratchScope scope;
        const FieldEntryRecord entry = ResolveFieldRef(TextFromString(item));
        if (entry.status == status::kOk && entry.field != 0) {
            return std::make_pair(std::uint16_t{entry.file}, entry.field);
        }
    }
    const std::size_t semicolon = item.find(';');
    if (semicolon == std::string::npos) return std::nullopt;
    const std::string file = Trimmed(item.substr(0, semicolon));
    const std::string field = Trimmed(item.substr(semicolon + 1));
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.size() <= 4 &&
               s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(file) || !digits(field)) return std::nullopt;
    const auto f = static_cast<std::uint16_t>(std::stoi(file));
    const auto k = static_cast<std::uint16_t>(std::stoi(field));
    if (!BindingResolves(f, k)) return std::nullopt;
    return std::make_pair(f, k);
}

const char* NoteSentence(RecordProblem problem) {
    switch (problem) {
    case RecordProblem::Short:
        return "is too short for its type";
    case RecordProblem::BadPosition:
        return "has a row or column that is not a number";
    case RecordProblem::BadNumber:
        return "has a file, field or length that is not a number";
    case RecordProblem::UnknownType:
        return "is of no known type and is read as text";
    case RecordProblem::PlacedAtEnd:
        return "places its text over text read before it";
    case RecordProblem::BarInText:
        return "holds a bar, which a text cannot show";
    case RecordProblem::SharedCell:
        return "places its field on the cell of an earlier field";
    case RecordProblem::OutOfOrder:
        return "stands before an earlier field and changes its number";
    }
    return "cannot be read as it is";
}

class ScreenCheck {
public:
    // Problems of the records go to the screen file, those of the attribute keywords to the
    // parameter file that holds them.
    ScreenCheck(Problems& problems, Problems& parameters, const UseFilter& filter,
                std::uint16_t screen)
        : problems_(problems), parameters_(parameters), filter_(filter), screen_(screen) {}

    void Run(const std::vector<std::string>& records, const std::vector<std::string>& parameters) {
        const LoadedScreen loaded = ScreenFromRecords(records);
        for (const RecordNote& note : loaded.notes) {
            const bool overlap = note.problem == RecordProblem::PlacedAtEnd ||
                                 note.problem == RecordProblem::SharedCell;
            const std::string sentence = "Record " + std::to_string(note.record) + " of screen " +
                                         std::to_string(screen_) + " " +
                                         NoteSentence(note.problem) + ".";
            if (overlap) {
                problems_.Error(At(PlaceKind::Screen, screen_), "overlap", sentence);
            } else {
                problems_.Warning(At(PlaceKind::Screen, screen_), "record-changed", sentence);
            }
        }
        const ScreenModel& model = loaded.model;
        std::string attributes;
        for (const std::string& record : parameters) {
            if (!attributes.empty()) attributes += ':';
            attributes += record;
        }
        if (attributes.size() > kMaxTextLength) {
            // The runtime reads a screen's attributes as one text: these it could not read at all.
            parameters_.Error(At(PlaceKind::Screen, screen_), "attributes-too-long",
                              "The attributes of screen " + std::to_string(screen_) + " hold " +
                                  std::to_string(attributes.size()) +
                                  " characters, more than the 65535 a text holds.");
            attributes.clear();
        }
        if (checking()) {
            CheckBindings(model);
            CheckExtents(model);
        } else {
            FindBindings(model);
        }
        CheckKeywords(model, attributes);
    }

private:
    CheckPlace Field(std::uint16_t k) const { return At(PlaceKind::ScreenField, screen_, k); }
    CheckPlace Keyword(std::string_view keyword) const {
        return At(PlaceKind::ScreenKeyword, screen_, 0, std::string(keyword));
    }
    bool checking() const { return filter_.uses == nullptr; }

    void FindBindings(const ScreenModel& model) {
        for (std::size_t i = 0; i < model.fields.size(); ++i) {
            const FieldRecord& f = model.fields[i];
            if (!filter_.Matches(f.file, f.field)) continue;
            filter_.Add(problems_.file(), Field(static_cast<std::uint16_t>(i + 1)), "bound",
                        BindingResolves(f.file, f.field)
                            ? RefText(f.file, f.field)
                            : std::to_string(f.file) + ";" + std::to_string(f.field));
        }
    }

    void CheckBindings(const ScreenModel& model) {
        const std::uint16_t files = FileCount();
        for (std::size_t i = 0; i < model.fields.size(); ++i) {
            const FieldRecord& f = model.fields[i];
            const auto k = static_cast<std::uint16_t>(i + 1);
            const std::string which = "Field " + std::to_string(k);
            if (f.file == 0 && f.field == 0) continue;
            if (f.file == 0 || f.file > files) {
                problems_.Error(Field(k), "binding-file-missing",
                                which + " is bound to file " + std::to_string(f.file) +
                                    ", which the dictionary does not have.");
                continue;
            }
            if (f.field == 0 || f.field > FieldCount(f.file)) {
                problems_.Error(Field(k), "binding-field-missing",
                                which + " is bound to field " + std::to_string(f.field) +
                                    " of file " + FileLabel(f.file) + ", which has " +
                                    std::to_string(FieldCount(f.file)) + " fields.");
                continue;
            }
            const char type = FieldType(f.file, f.field);
            std::uint16_t length = FieldLength(f.file, f.field);
            if (type == kDateType) length = std::min(length, kDateDisplayLength);
            if (f.type != type) {
                problems_.Error(Field(k), "type-differs",
                                which + " has type " + Quoted(std::string(1, f.type)) + ", but " +
                                    RefText(f.file, f.field) + " has type " +
                                    Quoted(std::string(1, type)) + ".");
            }
            if (f.displayLength != length) {
                problems_.Warning(Field(k), "length-differs",
                                  which + " shows " + std::to_string(f.displayLength) +
                                      " characters, but " + RefText(f.file, f.field) + " holds " +
                                      std::to_string(length) + ".");
            }
        }
    }

    void CheckExtents(const ScreenModel& model) {
        const std::vector<std::string_view> rows = TextRows(model.text);
        // Texts: anything but blanks and field bars below row 24 or right of column 80.
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::string_view row = rows[r];
            const std::size_t limit = r < kScreenRows ? kScreenColumns : 0;
            for (std::size_t c = limit; c < row.size(); ++c) {
                if (row[c] == ' ' || row[c] == '\t' || row[c] == kFieldBar) continue;
                problems_.Error(
                    At(PlaceKind::ScreenRow, screen_, static_cast<std::uint16_t>(r + 1)),
                    "outside-screen",
                    "Text at row " + std::to_string(r + 1) + ", column " + std::to_string(c + 1) +
                        " lies outside the 24 x 80 screen.");
                break;
            }
        }
        for (std::size_t i = 0; i < model.fields.size(); ++i) {
            const FieldRecord& f = model.fields[i];
            const auto k = static_cast<std::uint16_t>(i + 1);
            const std::uint16_t width = std::max<std::uint16_t>(f.displayLength, 1);
            const std::uint32_t last = std::uint32_t{f.column} + width - 1;
            if (f.row > kScreenRows || last > kScreenColumns) {
                problems_.Error(Field(k), "outside-screen",
                                "Field " + std::to_string(k) + " at row " + std::to_string(f.row) +
                                    ", columns " + std::to_string(f.column) + " to " +
                                    std::to_string(last) + " lies outside the 24 x 80 screen.");
            }
            if (f.row == 0 || f.row > rows.size()) continue;
            const std::string_view row = rows[f.row - 1];
            for (std::uint32_t c = f.column; c < last && c < row.size(); ++c) {
                if (row[c] == ' ' || row[c] == '\t') continue;
                const bool field = row[c] == kFieldBar;
                problems_.Error(Field(k), "overlap",
                                "Field " + std::to_string(k) + " runs over " +
                                    (field ? "another field" : "text") + " at column " +
                                    std::to_string(c + 1) + " of row " + std::to_string(f.row) +
                                    ".");
                break;
            }
        }
    }

    void CheckKeywords(const ScreenModel& model, const std::string& attributes) {
        const std::vector<std::string> names = KeywordItems(attributes, kFieldNamesKeyword);
        const auto fields = static_cast<std::uint16_t>(model.fields.size());
        if (checking()) {
            for (std::size_t k = 1; k < names.size(); ++k) {
                if (names[k].empty()) continue;
                const auto first = std::find(names.begin(), names.begin() + k, names[k]);
                if (first == names.begin() + k) continue;
                parameters_.Error(Field(static_cast<std::uint16_t>(k + 1)), "name-repeated",
                                  "FD$ names " + Quoted(names[k]) + " for field " +
                                      std::to_string(k + 1) + " and for field " +
                                      std::to_string(first - names.begin() + 1) + ".");
            }
            if (names.size() > fields) {
                parameters_.Warning(Keyword(kFieldNamesKeyword), "names-beyond-fields",
                                    "FD$ names " + std::to_string(names.size()) +
                                        " fields, but the screen has " + std::to_string(fields) +
                                        ".");
            }
            for (const char* keyword : kNameKeywords) {
                for (const std::string& item : KeywordItems(attributes, keyword)) {
                    if (item.empty() ||
                        std::find(names.begin(), names.end(), item) != names.end()) {
                        continue;
                    }
                    parameters_.Error(Keyword(keyword), "name-unknown",
                                      std::string(keyword) + " names " + Quoted(item) +
                                          ", which FD$ does not name.");
                }
            }
        }
        const std::vector<std::string> bindings = KeywordItems(attributes, kBindingKeyword);
        for (std::size_t i = 0; i < bindings.size() && i <= fields; ++i) {
            const std::string& item = bindings[i];
            if (item.empty()) continue;
            const auto k = static_cast<std::uint16_t>(i + 1);
            if (i == fields) {
                // The item after the fields' items is the screen's data file.
                const bool number =
                    item.find_first_not_of("0123456789") == std::string::npos && item.size() <= 4;
                const int file = number ? std::stoi(item) : 0;
                if (checking() && (file < 1 || file > FileCount())) {
                    parameters_.Error(Keyword(kBindingKeyword), "filedef-unresolved",
                                      "FILEDEF$ gives the screen the data file " + Quoted(item) +
                                          ", which the dictionary does not have.");
                }
                if (number && filter_.field == 0 &&
                    filter_.Matches(static_cast<std::uint16_t>(file), 0)) {
                    filter_.Add(parameters_.file(), Keyword(kBindingKeyword), "keyword", item);
                }
                continue;
            }
            const auto binding = ResolveBinding(item);
            if (!binding) {
                if (checking()) {
                    parameters_.Error(Field(k), "filedef-unresolved",
                                      "FILEDEF$ binds field " + std::to_string(k) + " to " +
                                          Quoted(item) +
                                          ", which names no field of the dictionary.");
                }
            } else if (filter_.Matches(binding->first, binding->second)) {
                filter_.Add(parameters_.file(), Keyword(kBindingKeyword), "keyword", item);
            }
        }
        // Field references inside the other keywords' values (conditions, keys, limits...).
        for (const std::string& item : AttributeItems(attributes)) {
            const std::size_t equals = item.find_first_of("=:");
            if (equals == std::string::npos) continue;
            const std::string key = Trimmed(item.substr(0, equals));
            if (key == kBindingKeyword || key == kFieldNamesKeyword) continue;
            std::string value = Trimmed(item.substr(equals + 1));
            if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            for (const FieldRefUse& use : FieldRefsIn(value)) {
                if (use.status != status::kOk) {
                    if (checking()) {
                        parameters_.Error(Keyword(key), "field-unresolved",
                                          key + ": " + UnresolvedSentence(use));
                    }
                } else if (filter_.Matches(use.file, use.field)) {
                    filter_.Add(parameters_.file(), Keyword(key), "keyword", use.text);
                }
            }
        }
    }

    Problems& problems_;
    Problems& parameters_;
    const UseFilter& filter_;
    std::uint16_t screen_;
};

std::string SiblingName(const std::string& name, std::string_view extension) {
    const std::size_t dot = name.rfind('.');
    const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    // The sibling keeps the case its own name has on the disk, when it is there.
    return base + "." + std::string(extension);
}

void CheckScreenFile(CheckReport* report, const std::string& folder, const std::string& name,
                     const std::vector<std::string>& names, const UseFilter& filter) {
    Problems problems(report, name);
    std::vector<std::vector<std::string>> screens;
    StatusCode st = ReadBlocks(TextFromString(Join(folder, name)), LineKind::Screen, &screens);
    if (st != status::kOk) {
        if (filter.uses == nullptr) problems.LoadFailed(st);
        return;
    }
    ++report->filesRead;
    std::string parametersName = SiblingName(name, "PPN");
    for (const std::string& other : names) {
        if (Upper(other) == Upper(parametersName)) parametersName = other;
    }
    std::vector<std::vector<std::string>> parameters;
    st =
        ReadBlocks(TextFromString(Join(folder, parametersName)), LineKind::Parameters, &parameters);
    Problems parameterProblems(report, parametersName);
    if (st == status::kOk) {
        ++report->filesRead;
    } else if (st != status::kFileNotFound && filter.uses == nullptr) {
        parameterProblems.LoadFailed(st);
    }
    const std::size_t count = std::max(screens.size(), parameters.size());
    static const std::vector<std::string> kNone;
    for (std::size_t n = 1; n < count; ++n) {
        const std::vector<std::string>& records = n < screens.size() ? screens[n] : kNone;
        const std::vector<std::string>& params = n < parameters.size() ? parameters[n] : kNone;
        if (records.empty() && params.empty()) continue;
        ++report->screens;
        ScreenCheck(problems, parameterProblems, filter, static_cast<std::uint16_t>(n))
            .Run(records, params);
    }
}

// ---- Scripts, documents, selection lists -------------------------------------------------------

// The file's bytes, or the status that stopped the read.
StatusCode ReadWhole(const std::string& path, std::string* bytes) {
    ScratchScope scope;
    const TextRef text = FileReadAll(TextFromString(path), 0, kWholeFile);
    if (text.failed()) return text.status();
    bytes->assign(text.view());
    return status::kOk;
}

void CheckScript(CheckReport* report, const std::string& folder, const std::string& name,
                 const UseFilter& filter) {
    Problems problems(report, name);
    std::string text;
    const StatusCode st = ReadWhole(Join(folder, name), &text);
    if (st != status::kOk) {
        if (filter.uses == nullptr) problems.LoadFailed(st);
        return;
    }
    ++report->filesRead;
    const LineIndex lines(text);
    for (const FieldRefUse& use : FieldRefsIn(text)) {
        const CheckPlace place = At(PlaceKind::Line, lines.LineOf(use.offset));
        if (use.status != status::kOk) {
            if (filter.uses == nullptr) {
                problems.Error(place, "field-unresolved", UnresolvedSentence(use));
            }
        } else if (filter.Matches(use.file, use.field)) {
            filter.Add(name, place, "script", use.text);
        }
    }
}

void CheckDocument(CheckReport* report, const std::string& folder, const std::string& name) {
    Problems problems(report, name);
    std::string file;
    StatusCode st = ReadWhole(Join(folder, name), &file);
    std::string text;
    if (st == status::kOk) st = DocumentTextFromFile(file, &text);
    if (st != status::kOk) {
        problems.LoadFailed(st);
        return;
    }
    ++report->filesRead;
    const std::vector<std::string_view> rows = TextRows(text);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string_view row = rows[r];
        const CheckPlace place = At(PlaceKind::DocumentRow, static_cast<std::uint16_t>(r + 1));
        const auto bars = std::count(row.begin(), row.end(), static_cast<char>(kMaskDelimiter));
        if (bars % 2 != 0) {
            problems.Error(place, "mask-unpaired",
                           "Row " + std::to_string(r + 1) +
                               " opens a mask field with a bar that no bar closes.");
        }
        const std::size_t loop = row.find(kLoopMarker);
        if (loop == std::string_view::npos) continue;
        if (row.find(kLoopMarker, loop + 1) != std::string_view::npos) {
            problems.Error(place, "loop-repeated",
                           "Row " + std::to_string(r + 1) + " holds more than one loop marker.");
            continue;
        }
        const std::string_view after = row.substr(loop + 1);
        if (std::count(after.begin(), after.end(), static_cast<char>(kMaskDelimiter)) < 2) {
            problems.Error(place, "loop-unpaired",
                           "The loop marker of row " + std::to_string(r + 1) +
                               " is paired with no mask field after it to repeat.");
        }
    }
}

std::string FirstLine(const std::string& column) { return column.substr(0, column.find('\r')); }

void CheckSelectionList(CheckReport* report, const std::string& folder, const std::string& name) {
    Problems problems(report, name);
    const std::string path = Join(folder, name);
    std::optional<std::vector<std::string>> lines;
    {
        ScratchScope scope;
        lines = ReadAppList(TextFromString(path));
    }
    if (!lines) {
        problems.LoadFailed(status::kFileNotFound);
        return;
    }
    ++report->filesRead;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        const std::string& line = (*lines)[i];
        if (Trimmed(line).empty() || Trimmed(line).front() == kCommentStart) continue;
        const AppSelection row = AppSelectionFromLines({line});
        const CheckPlace place = At(PlaceKind::Line, static_cast<std::uint16_t>(i + 1));
        const std::string menu = Trimmed(FirstLine(row.menus));
        const std::string data = Trimmed(FirstLine(row.folders));
        const std::string id = Trimmed(FirstLine(row.ids));
        if (!menu.empty() && !Exists(IsAbsolute(menu) ? menu : Join(folder, menu))) {
            problems.Error(place, "menu-missing",
                           "The menu file " + Quoted(menu) + " of application " + Quoted(id) +
                               " does not exist.");
        }
        if (!data.empty() && !Exists(IsAbsolute(data) ? data : Join(folder, data))) {
            problems.Warning(place, "folder-missing",
                             "The data folder " + Quoted(data) + " of application " + Quoted(id) +
                                 " does not exist.");
        }
    }
}

// The files of the folder by what they hold.
struct FolderFiles {
    std::vector<std::string> all;
    std::optional<std::string> dictionary;
    std::vector<std::string> screens, documents, scripts, lists;
};

FolderFiles Classify(const std::string& folder) {
    FolderFiles files;
    files.all = NamesIn(folder);
    files.dictionary = DictionaryOf(files.all);
    for (const std::string& name : files.all) {
        if (EndsWithNoCase(name, ".PAN")) files.screens.push_back(name);
        if (EndsWithNoCase(name, ".PDC")) files.documents.push_back(name);
        if (EndsWithNoCase(name, ".PRX")) files.scripts.push_back(name);
        if (EndsWithNoCase(name, ".ZAA")) files.lists.push_back(name);
    }
    return files;
}

// Loads the folder's dictionary; a failure is a problem of its DICC file (what loaded stays).
StatusCode LoadFolderDictionary(const std::string& folder, const std::string& name,
                                DictionaryTexts* texts) {
    ScratchScope scope;
    return LoadDictionaryKeepingTexts(
        TextFromString(folder), TextFromString(name.substr(0, kPrefixLength)), TextRef(), texts);
}

} // namespace

std::string PlaceText(const CheckPlace& place) {
    const std::string n = std::to_string(place.number);
    const std::string k = std::to_string(place.item);
    switch (place.kind) {
    case PlaceKind::File:
        return "-";
    case PlaceKind::DictionaryFile:
        return "file " + n;
    case PlaceKind::DictionaryField:
        return "file " + n + " field " + k;
    case PlaceKind::DictionaryIndex:
        return "file " + n + " index " + k;
    case PlaceKind::Screen:
        return "screen " + n;
    case PlaceKind::ScreenField:
        return "screen " + n + " field " + k;
    case PlaceKind::ScreenRow:
        return "screen " + n + " row " + k;
    case PlaceKind::ScreenKeyword:
        return "screen " + n + " " + place.keyword;
    case PlaceKind::Line:
        return "line " + n;
    case PlaceKind::DocumentRow:
        return "row " + n;
    }
    return "-";
}

std::vector<FieldRefUse> FieldRefsIn(std::string_view text) {
    // The text as the evaluator reads it: without blanks, tabs and line breaks outside quotes,
    // and without comment lines; origin maps each kept byte back to its offset.
    std::string packed;
    std::vector<std::uint32_t> origin;
    packed.reserve(text.size());
    origin.reserve(text.size() + 1);
    char quote = 0;
    bool lineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote == 0) {
            if (c == '\r' || c == '\n') {
                lineStart = true;
                continue;
            }
            if (c == ' ' || c == '\t') continue;
            if (lineStart && c == kCommentStart) {
                while (i + 1 < text.size() && text[i + 1] != '\r' && text[i + 1] != '\n') ++i;
                continue;
            }
            lineStart = false;
            if (c == '\'' || c == '"') quote = c;
        } else if (c == quote) {
            quote = 0;
        }
        packed.push_back(c);
        origin.push_back(static_cast<std::uint32_t>(i));
    }
    origin.push_back(static_cast<std::uint32_t>(text.size()));
    std::vector<FieldRefUse> uses;
    if (packed.size() > kMaxTextLength) {
        uses.push_back(FieldRefUse{0, {}, status::kStringTooLong, 0, 0});
        return uses;
    }
    WalkTokens(packed, 0, static_cast<std::uint32_t>(packed.size()), 0, origin, &uses);
    return uses;
}

std::vector<RelationTarget> RelationTargets(std::string_view text) {
    std::vector<RelationTarget> targets;
    std::size_t from = 0;
    while (from <= text.size()) {
        // The item runs to the next separator outside quotes.
        std::size_t end = from;
        char quote = 0;
        for (; end < text.size(); ++end) {
            const char c = text[end];
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if (std::strchr(": &/", c) != nullptr) {
                break;
            }
        }
        const std::string_view item = text.substr(from, end - from);
        // <target>R<relation>K<index>, then "=" and the key or nothing.
        std::size_t at = 0;
        const auto number = [&](std::uint32_t* value) {
            const std::size_t start = at;
            std::uint32_t n = 0;
            while (at < item.size() && item[at] >= '0' && item[at] <= '9') {
                n = std::min<std::uint32_t>(n * 10 + static_cast<std::uint32_t>(item[at] - '0'),
                                            0xFFFF);
                ++at;
            }
            *value = n;
            return at > start;
        };
        std::uint32_t target = 0, relation = 0, index = 0;
        if (number(&target) && at < item.size() && item[at] == 'R' && (++at, number(&relation)) &&
            at < item.size() && item[at] == 'K' && (++at, number(&index)) &&
            (at == item.size() || item[at] == '=')) {
            targets.push_back(RelationTarget{target, std::string(item.substr(0, at))});
        }
        from = end + 1;
    }
    return targets;
}

CheckReport CheckApplication(const std::string& folder) {
    CheckReport report;
    const ResolvedRefsScope resolved;
    const FolderFiles files = Classify(folder);
    DictionaryAside aside;
    if (!aside.kept()) {
        Problems(&report, "-")
            .Error({}, "dictionary-busy", "The open dictionary cannot be set aside for the check.");
        return report;
    }
    std::vector<std::string> dictionaryFiles;
    if (!files.dictionary) {
        Problems(&report, "-")
            .Error({}, "no-dictionary",
                   "The folder holds no dictionary (a file named xxDICC.DAT).");
    } else {
        DictionaryTexts texts;
        const StatusCode st = LoadFolderDictionary(folder, *files.dictionary, &texts);
        dictionaryFiles.push_back(*files.dictionary);
        for (const DictionaryTextFile& text : texts) dictionaryFiles.push_back(text.name);
        report.filesRead += static_cast<std::uint32_t>(texts.size());
        if (st != status::kOk) Problems(&report, *files.dictionary).LoadFailed(st);
        CheckDictionary(&report, *files.dictionary, texts);
    }
    const UseFilter none;
    for (const std::string& name : files.all) {
        if (EndsWithNoCase(name, ".PAN")) CheckScreenFile(&report, folder, name, files.all, none);
        if (EndsWithNoCase(name, ".PDC")) CheckDocument(&report, folder, name);
        if (EndsWithNoCase(name, ".PRX")) CheckScript(&report, folder, name, none);
        if (EndsWithNoCase(name, ".ZAA")) CheckSelectionList(&report, folder, name);
    }
    // Each file's problems together: the folder's own first, then the dictionary's files in the
    // order the load read them, then the others in name order.
    const auto rank = [&](const std::string& file) -> std::size_t {
        if (file == "-") return 0;
        for (std::size_t i = 0; i < dictionaryFiles.size(); ++i) {
            if (Upper(dictionaryFiles[i]) == Upper(file)) return i + 1;
        }
        return dictionaryFiles.size() + 1;
    };
    std::stable_sort(report.problems.begin(), report.problems.end(),
                     [&](const CheckProblem& a, const CheckProblem& b) {
                         const std::size_t ra = rank(a.file);
                         const std::size_t rb = rank(b.file);
                         if (ra != rb) return ra < rb;
                         return a.file < b.file;
                     });
    return report;
}

WhereResult WhereUsed(const std::string& folder, std::string_view reference) {
    WhereResult result;
    const ResolvedRefsScope resolved;
    const FolderFiles files = Classify(folder);
    DictionaryAside aside;
    if (!aside.kept()) {
        result.failure = "The open dictionary cannot be set aside.";
        return result;
    }
    if (!files.dictionary) {
        result.failure = "The folder holds no dictionary (a file named xxDICC.DAT).";
        return result;
    }
    DictionaryTexts texts;
    const StatusCode st = LoadFolderDictionary(folder, *files.dictionary, &texts);
    if (st != status::kOk) {
        result.failure = *files.dictionary + ": " + StatusSentence(st);
        return result;
    }
    {
        ScratchScope scope;
        const FieldEntryRecord entry = ResolveFieldRef(TextFromString(reference));
        if (entry.status != status::kOk) {
            result.failure = Quoted(reference) + " names no field or file of the dictionary.";
            return result;
        }
        result.resolved = true;
        result.file = entry.file;
        result.field = entry.field;
    }
    CheckReport ignored;
    const UseFilter filter{result.file, result.field, &result.uses};
    for (const std::string& name : files.all) {
        if (EndsWithNoCase(name, ".PAN"))
            CheckScreenFile(&ignored, folder, name, files.all, filter);
        if (EndsWithNoCase(name, ".PRX")) CheckScript(&ignored, folder, name, filter);
    }
    return result;
}

} // namespace vodarir
