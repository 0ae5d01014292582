// The fuzz targets' shared runtime, folder and checks.
#include "fuzz_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "designer/editor_dispatch.h"
#include "host/text_files.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/text/block_pool.h"

namespace vodarir::fuzz {

namespace {

namespace fs = std::filesystem;

constexpr char kCtrlZ = 26;
constexpr std::string_view kPartSeparator = "\n~~~~\n";

std::string g_folder;

void RemoveFolder() {
    if (g_folder.empty()) return;
    std::error_code ignored;
    fs::current_path(fs::temp_directory_path(), ignored);
    fs::remove_all(g_folder, ignored);
}

} // namespace

void StartRuntimeOnce() {
    static bool started = false;
    if (started) return;
    PoolConfigure(256, kKeepValue, kKeepValue);
    Require(RuntimeInit() == status::kOk);
    started = true;
}

const std::string& Folder() {
    if (g_folder.empty()) {
        // Memory-backed when the system has it: saves sync to disk, and a fuzzer saves thousands of
        // times a second.
        std::error_code probe;
        const fs::path base = fs::is_directory("/dev/shm", probe) && ::access("/dev/shm", W_OK) == 0
                                  ? fs::path("/dev/shm")
                                  : fs::temp_directory_path();
        std::string pattern = (base / "vodarir-fuzz-XXXXXX").string();
        Require(::mkdtemp(pattern.data()) != nullptr);
        g_folder = pattern;
        std::atexit(RemoveFolder);
        std::error_code moved;
        fs::current_path(g_folder, moved);
        Require(!moved);
    }
    return g_folder;
}

std::string FolderFile(std::string_view name) { return Folder() + "/" + std::string(name); }

void WriteFile(std::string_view name, std::string_view bytes) {
    std::ofstream out(FolderFile(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(out.good());
}

std::string ReadFile(std::string_view name) {
    std::ifstream in(FolderFile(name), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void ClearFolder() {
    std::error_code ignored;
    for (const fs::directory_entry& e : fs::directory_iterator(Folder(), ignored)) {
        fs::remove_all(e.path(), ignored);
    }
}

std::vector<std::string> FolderNames() {
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(Folder())) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

platform::WindowId EditorWindow() {
    static platform::ScriptedUi ui;
    static platform::WindowEvents events;
    static platform::WindowId window = platform::kNoWindow;
    if (window == platform::kNoWindow) {
        platform::SetUi(&ui);
        platform::WindowSpec spec;
        spec.name = "Dialog";
        spec.frame = {0, 0, 800, 600};
        window = ui.createWindow(spec, &events);
        platform::ControlSpec edit;
        edit.kind = platform::ControlKind::Edit;
        edit.id = designerctl::kEdit;
        edit.rect = {0, 0, 800, 600};
        edit.style = platform::kMultiLine | platform::kWantReturn;
        Require(window != platform::kNoWindow && ui.createControl(window, edit));
    }
    return window;
}

std::string EditorText() {
    return platform::CurrentUi().text(EditorWindow(), designerctl::kEdit).value_or("(no edit)");
}

void RequireBalanced(ScratchLevel depth) {
    // The scratch stack's and the slot store's own CheckInvariants are called here once they exist.
    Require(ScratchDepth() == depth);
    Require(FilesOpen() == 0);
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        std::string line(bytes.substr(at, end - at));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n') {
            ++end;
        }
        at = end + 1;
        if (line.size() == 1 && line[0] == kCtrlZ) continue;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string_view> SplitParts(std::string_view input, std::size_t most) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < most) {
        const std::size_t at = input.find(kPartSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + kPartSeparator.size());
    }
    parts.push_back(input);
    return parts;
}

} // namespace vodarir::fuzz
