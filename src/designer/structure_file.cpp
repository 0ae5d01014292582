// The structure file's lines, their classification, the editor's changes on them and the bytes
// they are written as.
#include "designer/structure_file.h"

#include <cstdio>
#include <cstring>

#include "dictionary/dictionary_lines.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using Kind = StructureLineKind;

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kIndexCodeBase = kLineCodeSpan;        // index line of relative file N: code 30 + N
constexpr int kRelationCodeBase = 2 * kLineCodeSpan; // relation line: code 60 + N

std::string TwoDigits(int n) {
    char code[8];
    std::snprintf(code, sizeof code, "%02d", n);
    return code;
}

// Whether the line starts with the two digits of n.
bool CodeIs(std::string_view line, int n) {
    return line.size() >= kLineCodeWidth && line.substr(0, kLineCodeWidth) == TwoDigits(n);
}

void SetCode(std::string& line, int n) {
    const std::string code = TwoDigits(n);
    if (line.size() < kLineCodeWidth) line.resize(kLineCodeWidth, ' ');
    line.replace(0, kLineCodeWidth, code);
}

// The name in lower case, as loading stores it (the code page's letters included).
std::string LowerName(std::string_view name) {
    ScratchScope scope;
    const TextRef lower = TextCase(TextView(name), LetterCase::Lower);
    return lower.failed() ? std::string(name) : std::string(lower.view());
}

// What kind of line the loader takes it for (the file count after it tells an include's files).
struct Classified {
    Kind kind = Kind::Other;
    int relative = 0; // index and relation lines: N of their code
    FileLine file;
};

Classified Classify(std::string_view text) {
    Classified c;
    const TextRef line = TextView(text);
    const bool hasStar = text.find('*') != std::string_view::npos;
    const LineClass cls = ClassifyDictionaryLine(line);
    switch (cls.kind) {
    case linekind::kFileOrField:
        if (hasStar) {
            ParseFileLine(line, &c.file);
            c.kind = c.file.include ? Kind::Include : Kind::File;
        } else if (text.size() >= kMinFieldLineLength) {
            c.kind = Kind::Field;
        }
        break;
    case linekind::kIndex:
        c.kind = Kind::Index;
        c.relative = cls.relativeFile;
        break;
    case linekind::kRelation:
        c.kind = Kind::Relation;
        c.relative = cls.relativeFile;
        break;
    default:
        break;
    }
    return c;
}

} // namespace

std::string FieldLineText(int file, const StructureField& field) {
    char head[32];
    std::snprintf(head, sizeof head, "%02d00<    %3u>%c", file, field.length, field.type);
    return std::string(head) + field.name;
}

StructureFile StructureFile::FromLoad(DictionaryTexts texts, std::string_view prefix) {
    StructureFile s;
    s.prefix_ = std::string(prefix.substr(0, 2));
    const std::string own = DictionaryFileName(s.prefix_, DictionaryFile::Structure);
    std::vector<std::string> lines;
    std::vector<std::uint16_t> filesAfter;
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        if (FindDictionaryText(texts, own) == &*it) {
            lines = std::move(it->lines);
            filesAfter = std::move(it->filesAfter);
            texts.erase(it);
            break;
        }
    }
    s.others_ = std::move(texts);
    std::vector<int> ids; // ids of the model's files, by number - 1
    int base = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        StructureLine line;
        line.text = std::move(lines[i]);
        const Classified c = Classify(line.text);
        line.kind = c.kind;
        const int files = static_cast<int>(ids.size());
        const int after = i < filesAfter.size() ? filesAfter[i] : files;
        switch (c.kind) {
        case Kind::File:
            line.id = s.nextId_++;
            ids.push_back(line.id);
            line.numbered = CodeIs(line.text, files + 1);
            break;
        case Kind::Include:
            line.id = s.nextId_;
            line.count = std::max(0, after - files);
            s.nextId_ += line.count;
            for (int k = 0; k < line.count; ++k) ids.push_back(line.id + k);
            base = static_cast<int>(ids.size()) - 1;
            break;
        case Kind::Field:
            line.numbered = files > 0 && CodeIs(line.text, files);
            break;
        case Kind::Index:
        case Kind::Relation: {
            const int number = c.relative + base;
            if (number >= 1 && number <= files) {
                line.target = ids[static_cast<std::size_t>(number - 1)];
            } else {
                line.kind = Kind::Other; // named nothing when loaded (it would not have loaded)
            }
            break;
        }
        case Kind::Other:
            break;
        }
        s.lines_.push_back(std::move(line));
    }
    return s;
}

StatusCode StructureFile::Rebuild() const {
    DictionaryTexts texts = others_;
    DictionaryTextFile own;
    own.name = DictionaryFileName(prefix_, DictionaryFile::Structure);
    for (const StructureLine& line : lines_) own.lines.push_back(line.text);
    texts.push_back(std::move(own));
    StatusCode st = ClearDictionary();
    if (st == status::kOk) st = LoadDictionaryFromTexts(texts, TextView(prefix_), TextRef());
    return st;
}

std::string StructureFile::Bytes() const {
    std::string out;
    for (const StructureLine& line : lines_) {
        out += line.text;
        out += kLineEnd;
    }
    return out;
}

std::vector<std::string> StructureFile::IncludedPrefixes() const {
    std::vector<std::string> prefixes;
    for (const StructureLine& line : lines_) {
        if (line.kind != Kind::Include) continue;
        FileLine f;
        ParseFileLine(TextView(line.text), &f);
        prefixes.emplace_back(f.name.view().substr(0, 2));
    }
    return prefixes;
}

std::vector<StructureFile::FilePlace> StructureFile::Places() const {
    std::vector<FilePlace> places;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const StructureLine& line = lines_[i];
        if (line.kind == Kind::File) places.push_back({line.id, i, true});
        if (line.kind == Kind::Include) {
            for (int k = 0; k < line.count; ++k) places.push_back({line.id + k, i, false});
        }
    }
    return places;
}

std::optional<StructureFile::FilePlace> StructureFile::PlaceOf(int file) const {
    const std::vector<FilePlace> places = Places();
    if (file < 1 || file > static_cast<int>(places.size())) return std::nullopt;
    return places[static_cast<std::size_t>(file - 1)];
}

int StructureFile::FileCount() const { return static_cast<int>(Places().size()); }

bool StructureFile::InsertableAt(int position) const {
    const std::optional<FilePlace> place = PlaceOf(position);
    return place && (place->own || lines_[place->line].id == place->id);
}

std::string StructureFile::HeldBy(int file) const {
    const std::optional<FilePlace> place = PlaceOf(file);
    if (!place) return DictionaryFileName(prefix_, DictionaryFile::Relations);
    if (place->own) return {};
    FileLine f;
    ParseFileLine(TextView(lines_[place->line].text), &f);
    return std::string(f.name.view());
}

std::size_t StructureFile::EndOfFields(std::size_t fileLine) const {
    std::size_t end = fileLine + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::File &&
           lines_[end].kind != Kind::Include) {
        ++end;
    }
    return end;
}

std::vector<std::size_t> StructureFile::FieldLines(std::size_t fileLine) const {
    std::vector<std::size_t> fields;
    const std::size_t end = EndOfFields(fileLine);
    for (std::size_t i = fileLine + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Field) fields.push_back(i);
    }
    return fields;
}

std::string StructureFile::FileLineText(int number, std::string_view name) const {
    return TwoDigits(number) + "* *  " + LowerName(name);
}

StatusCode StructureFile::Renumber() {
    std::vector<int> numbers(static_cast<std::size_t>(nextId_), 0); // number of each id
    int n = 0;
    for (const FilePlace& p : Places()) numbers[static_cast<std::size_t>(p.id)] = ++n;
    int files = 0;
    int base = 0;
    for (StructureLine& line : lines_) {
        switch (line.kind) {
        case Kind::File:
            ++files;
            if (line.numbered) SetCode(line.text, files);
            break;
        case Kind::Include:
            files += line.count;
            base = files - 1;
            break;
        case Kind::Field:
            if (line.numbered && files > 0) SetCode(line.text, files);
            break;
        case Kind::Index:
        case Kind::Relation: {
            const int relative = numbers[static_cast<std::size_t>(line.target)] - base;
            if (relative < 1 || relative > kLineCodeSpan) return status::kDataOutBound;
            const int codeBase = line.kind == Kind::Index ? kIndexCodeBase : kRelationCodeBase;
            if (!CodeIs(line.text, codeBase + relative)) SetCode(line.text, codeBase + relative);
            break;
        }
        case Kind::Other:
            break;
        }
    }
    return status::kOk;
}

// ---- Edits --------------------------------------------------------------------------------------

StatusCode StructureFile::AppendFile(std::string_view name) {
    // A 31st file line would be read as an index line ("31"): the dictionary's limit holds here.
    if (FileCount() >= kMaxDictionaryFiles) return status::kFileOutBound;
    StructureLine line;
    line.kind = Kind::File;
    line.id = nextId_++;
    line.numbered = true;
    line.text = FileLineText(FileCount() + 1, name);
    lines_.push_back(std::move(line));
    return status::kOk;
}

StatusCode StructureFile::InsertFile(int position, std::string_view name) {
    const std::optional<FilePlace> place = PlaceOf(position);
    if (!place) return status::kDataOutBound;
    // Before an include line only at its first file: its dictionary's files stay together.
    if (!InsertableAt(position)) return status::kData;
    if (FileCount() >= kMaxDictionaryFiles) return status::kFileOutBound;
    const StructureFile before = *this;
    StructureLine line;
    line.kind = Kind::File;
    line.id = nextId_++;
    line.numbered = true;
    line.text = FileLineText(position, name);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(place->line), std::move(line));
    const StatusCode st = Renumber();
    if (st != status::kOk) *this = before;
    return st;
}

StatusCode StructureFile::RenameFile(int file, std::string_view name) {
    const std::optional<FilePlace> place = PlaceOf(file);
    if (!place) return status::kDataOutBound;
    if (!place->own) return status::kData;
    std::string& text = lines_[place->line].text;
    // The file keeps its place and class: only the name after them changes.
    const std::size_t first = text.find('*');
    const std::size_t second = text.find('*', first + 1);
    if (second == std::string::npos) {
        text = FileLineText(file, name);
        return status::kOk;
    }
    constexpr std::size_t kClassWidth = 2;
    std::string kept = text.substr(0, second + 1) + text.substr(second + 1, kClassWidth);
    kept.resize(second + 1 + kClassWidth, ' ');
    text = kept + LowerName(name);
    return status::kOk;
}

StatusCode StructureFile::DeleteFile(int file) {
    const std::optional<FilePlace> place = PlaceOf(file);
    if (!place) return status::kDataOutBound;
    if (!place->own) return status::kData;
    const StructureFile before = *this;
    const std::size_t end = EndOfFields(place->line);
    std::vector<StructureLine> kept;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const StructureLine& line = lines_[i];
        if (i == place->line) continue;
        if (i > place->line && i < end && line.kind == Kind::Field) continue;
        // Its indexes and relations go with it, wherever they stand.
        if ((line.kind == Kind::Index || line.kind == Kind::Relation) && line.target == place->id) {
            continue;
        }
        kept.push_back(line);
    }
    lines_ = std::move(kept);
    const StatusCode st = Renumber();
    if (st != status::kOk) *this = before;
    return st;
}

StatusCode StructureFile::InsertField(int file, int position, const StructureField& field) {
    const std::optional<FilePlace> place = PlaceOf(file);
    if (!place) return status::kDataOutBound;
    if (!place->own) return status::kData;
    const std::vector<std::size_t> fields = FieldLines(place->line);
    if (position < 1 || position > static_cast<int>(fields.size()) + 1) {
        return status::kDataOutBound;
    }
    const std::size_t at = position <= static_cast<int>(fields.size())
                               ? fields[static_cast<std::size_t>(position - 1)]
                               : (fields.empty() ? place->line : fields.back()) + 1;
    StructureLine line;
    line.kind = Kind::Field;
    line.numbered = true;
    line.text = FieldLineText(file, field);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    return status::kOk;
}

StatusCode StructureFile::ModifyField(int file, int field, const StructureField& value) {
    const std::optional<FilePlace> place = PlaceOf(file);
    if (!place) return status::kDataOutBound;
    if (!place->own) return status::kData;
    const std::vector<std::size_t> fields = FieldLines(place->line);
    if (field < 1 || field > static_cast<int>(fields.size())) return status::kDataOutBound;
    StructureLine& line = lines_[fields[static_cast<std::size_t>(field - 1)]];
    // A field given back as it was keeps its line as it was.
    FieldLine parsed;
    ParseFieldLine(TextView(line.text), &parsed);
    if (parsed.name.view() == value.name && parsed.length == value.length &&
        parsed.type == value.type) {
        return status::kOk;
    }
    line.text = FieldLineText(file, value);
    line.numbered = true;
    return status::kOk;
}

StatusCode StructureFile::DeleteField(int file, int field) {
    const std::optional<FilePlace> place = PlaceOf(file);
    if (!place) return status::kDataOutBound;
    if (!place->own) return status::kData;
    const std::vector<std::size_t> fields = FieldLines(place->line);
    if (field < 1 || field > static_cast<int>(fields.size())) return status::kDataOutBound;
    lines_.erase(lines_.begin() +
                 static_cast<std::ptrdiff_t>(fields[static_cast<std::size_t>(field - 1)]));
    return status::kOk;
}

} // namespace vodarir
