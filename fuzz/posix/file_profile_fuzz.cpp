// Fuzzes the POSIX profile on a real file against the INI engine's result in memory: reads,
// writes, removals and appends, some of them made to fail at open, after N bytes or at the
// rename, mixed with changes made by "another program" (rewrites in place, replacements),
// which the parsed copy must notice.
//
// Invariants after every step:
// - the file holds exactly what the engine says the operation makes of the old text, in the
//   old encoding, or, when the operation failed, exactly the old bytes;
// - an operation fails exactly when a fault was injected into a write that had something to
//   write, or the file's text cannot be written back whole, and then reports an error;
// - every read answers what the engine reads in the file's current text;
// - no temporary file is left beside the file.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include "fuzz/fuzz_support.h"
#include "fuzz/ini_bytes.h"
#include "platform/file_text.h"
#include "platform/ini_text.h"
#include "platform/posix/file_profile.h"
#include "platform/tests/posix/faulty_file_system.h"

namespace {

using namespace vendaro;
namespace fs = std::filesystem;

// One directory for the whole run, on a memory file system when there is one.
const fs::path& WorkDir() {
    static const fs::path dir = [] {
        std::error_code error;
        fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        for (unsigned n = 0;; ++n) {
            fs::path candidate = base / ("vendaro-fuzz-" + std::to_string(n));
            if (fs::create_directory(candidate, error)) return candidate;
        }
    }();
    return dir;
}

void WriteDirect(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> ReadDirect(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The text the profile reads in the file's bytes.
std::string TextOf(const std::optional<std::string>& bytes) {
    return ini::DecodeFileText(bytes.value_or("")).text;
}

std::string Expected(const std::string& model, std::string_view section, std::string_view key,
                     std::string_view def) {
    if (auto v = ini::GetValue(model, section, key)) return *v;
    def = def.substr(0, def.find('\0'));
    while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
    return std::string(def.substr(0, ini::kMaxValueChars));
}

const char* const kNames[] = {"Sales", "sales", "DSN_Driver", "Description", "", "PWD", "x"};

std::string Name(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) {
        return kNames[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
    }
    return in.ConsumeRandomLengthString(12);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string path = (WorkDir() / "vendaro.ini").string();
    std::error_code error;
    fs::remove(path, error);

    std::optional<std::string> model;  // the file's bytes; nullopt: no file
    if (in.ConsumeBool()) {
        model = in.ConsumeRandomLengthString(2048);
        WriteDirect(path, *model);
    }
    FaultyFileSystem files;
    FileProfile profile(files);

    for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
        const int op = in.ConsumeIntegralInRange<int>(0, 7);
        if (op == 0) {  // a read
            const std::string section = Name(in), key = Name(in);
            const std::string def = in.ConsumeRandomLengthString(6);
            const std::string got = profile.GetString(section, key, def, path);
            REQUIRE_THAT(got == Expected(TextOf(model), section, key, def));
            continue;
        }
        if (op == 6) {  // another program rewrites the file in place, often at the same size
            std::string bytes = model.value_or("");
            if (!bytes.empty() && in.ConsumeBool()) {
                bytes[in.ConsumeIntegralInRange<std::size_t>(0, bytes.size() - 1)] =
                    in.ConsumeIntegral<char>();
            } else {
                bytes = in.ConsumeRandomLengthString(256);
            }
            WriteDirect(path, bytes);
            model = bytes;
            continue;
        }
        if (op == 7) {  // another program replaces or removes it
            if (in.ConsumeBool()) {
                const std::string other = (WorkDir() / "other.ini").string();
                const std::string bytes = in.ConsumeRandomLengthString(256);
                WriteDirect(other, bytes);
                fs::rename(other, path, error);
                model = bytes;
            } else {
                fs::remove(path, error);
                model.reset();
            }
            continue;
        }

        // A write, maybe with a fault.
        const std::string section = Name(in), key = Name(in);
        const std::string value = in.ConsumeRandomLengthString(24);
        WriteFaults faults;
        switch (in.ConsumeIntegralInRange<int>(0, 5)) {
            case 0:
                faults.fail_open = true;
                break;
            case 1:
                faults.fail_rename = true;
                break;
            case 2:
                faults.fail_after_bytes = in.ConsumeIntegralInRange<std::int64_t>(0, 4096);
                break;
            default:
                break;
        }
        files.faults = faults;

        // Text holding a line break or a NUL is refused by the profile's own writes.
        const bool refused_text =
            op <= 3 && (HoldsLineBreakOrNul(section) || (op <= 2 && HoldsLineBreakOrNul(key)) ||
                        (op == 1 && HoldsLineBreakOrNul(value)));
        const ini::FileText old = ini::DecodeFileText(model.value_or(""));
        std::optional<std::string> text;  // the new text; nullopt: nothing changes
        bool ok = false;
        switch (op) {
            case 1:
                ok = profile.SetString(section, key, value, path);
                text = ini::SetValue(old.text, section, key, value);
                if (model && *text == old.text) text.reset();
                break;
            case 2:
                ok = profile.DeleteKey(section, key, path);
                if (model) text = ini::DeleteKey(old.text, section, key);
                if (text && *text == old.text) text.reset();
                break;
            case 3:
                ok = profile.DeleteSection(section, path);
                if (model) text = ini::DeleteSection(old.text, section);
                if (text && *text == old.text) text.reset();
                break;
            default:  // 4, 5
                ok = profile.Append(path, value);
                if (!value.empty()) text = old.text + value;
                break;
        }
        if (refused_text) text.reset();
        // A file whose text would not come back whole is not rewritten.
        const bool unwritable = text && model && !ini::WhyNotRewritable(old, path).empty();
        std::optional<std::string> result;  // the bytes to write; nullopt: nothing changes
        if (text && !unwritable) result = ini::EncodeFileText(old.encoding, *text);
        const bool faulted = faults.fail_open || faults.fail_rename ||
                             (faults.fail_after_bytes >= 0 && result &&
                              static_cast<std::size_t>(faults.fail_after_bytes) < result->size());
        const bool should_fail = refused_text || unwritable || (result && faulted);
        if (fuzz::Tracing()) {
            std::fprintf(stderr, "op %d %s %s %s faults %d/%d/%lld -> %d (expected %d)\n", op,
                         fuzz::Shown(section).c_str(), fuzz::Shown(key).c_str(),
                         fuzz::Shown(value).c_str(), faults.fail_open, faults.fail_rename,
                         static_cast<long long>(faults.fail_after_bytes), ok, !should_fail);
        }
        REQUIRE_THAT(ok == !should_fail);
        if (!ok) REQUIRE_THAT(profile.last_error() != 0);
        if (ok && result) model = *result;
        REQUIRE_THAT(ReadDirect(path) == model);
        REQUIRE_THAT(profile.ReadAll(path) ==
                     (model ? std::optional<std::string>(TextOf(model)) : std::nullopt));

        files.faults = WriteFaults{};
        std::size_t entries = 0;
        for (const auto& entry : fs::directory_iterator(WorkDir(), error)) {
            (void)entry;
            ++entries;
        }
        REQUIRE_THAT(entries == (model ? 1u : 0u));
    }
    return 0;
}
