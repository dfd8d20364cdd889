#include "testing/recording_platform.h"

#include "platform/failure.h"
#include "platform/ini_text.h"

namespace vendaro {
namespace {

using SV = std::string_view;

// NULs inside recorded text are shown as "\0" so a line stays one readable line.
std::string Visible(std::string_view text) {
    std::string out;
    for (char c : text) out += c == '\0' ? std::string("\\0") : std::string(1, c);
    return out;
}

template <typename T>
T Take(std::deque<T>& queue, T fallback) {
    if (!queue.empty()) fallback = std::move(queue.front()), queue.pop_front();
    return fallback;
}

}  // namespace

bool RecordingPlatform::Record(std::string line) {
    bool fail = fail_nth > 0 && calls.size() + 1 == static_cast<std::size_t>(fail_nth);
    for (const std::string& prefix : fail_prefixes) fail = fail || line.starts_with(prefix);
    calls.push_back(std::move(line) + (fail ? " FAILED" : ""));
    if (fail && !fail_reason.empty()) NoteFailure(fail_reason);
    return !fail;
}

namespace {

const char* RootWord(RegRoot root) {
    return root == RegRoot::CurrentUser ? "HKCU" : root == RegRoot::LocalMachine ? "HKLM" : "?";
}

// The value named `name` whatever its case, or null.
RegValue* Find(std::vector<RegValue>& values, const std::string& name) {
    for (RegValue& value : values)
        if (ini::NamesEqual(value.name, name)) return &value;
    return nullptr;
}

}  // namespace

std::string RecordingPlatform::KeyName(RegRoot root, const std::string& path) {
    return ini::FoldedName(std::string(RootWord(root)) + "\\" + path);
}

RegHandle RecordingPlatform::CreateKey(RegRoot root, const std::string& path) {
    if (!Record(std::string("RegCreateKey ") + RootWord(root) + " " + path)) return 0;
    const RegHandle handle = next_handle_++;
    open_[handle] = KeyName(root, path);
    keys[open_[handle]];
    return handle;
}

bool RecordingPlatform::Store(RegHandle key, const std::string& name, std::uint32_t type,
                              std::string data) {
    auto it = open_.find(key);
    if (it == open_.end()) return false;
    std::vector<RegValue>& values = keys[it->second].values;
    RegValue* kept = Find(values, name);
    (kept ? *kept : values.emplace_back()) = RegValue{name, type, std::move(data), true};
    return true;
}

bool RecordingPlatform::SetString(RegHandle key, const std::string& name,
                                  const std::string& value) {
    return Record("RegSetString " + std::to_string(key) + " " + name + "=" + value) &&
           Store(key, name, kRegString, value + std::string(1, '\0'));
}

bool RecordingPlatform::SetNumber(RegHandle key, const std::string& name, std::int32_t value) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<char>(static_cast<std::uint32_t>(value) >> 8 * i);
    return Record("RegSetNumber " + std::to_string(key) + " " + name + "=" +
                  std::to_string(value)) &&
           Store(key, name, kRegDword, data);
}

bool RecordingPlatform::SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) {
    return Record("RegSetFlagByte " + std::to_string(key) + " " + name + "=" +
                  std::to_string(value)) &&
           Store(key, name, kRegNone, std::string(1, static_cast<char>(value)));
}

bool RecordingPlatform::CloseKey(RegHandle key) {
    // Closing a key opened for reading is no effect.
    if (read_handles_.erase(key) != 0) return open_.erase(key) != 0;
    const bool open = open_.erase(key) != 0;
    return Record("RegCloseKey " + std::to_string(key)) && key != 0 && open;
}

RegRead RecordingPlatform::OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) {
    key = 0;
    const std::string name = KeyName(root, path);
    if (unreadable_keys.count(name) != 0) {
        NoteFailure(name + " cannot be read: Access denied.");
        return RegRead::Failed;
    }
    if (keys.count(name) == 0) return RegRead::Missing;
    key = next_handle_++;
    open_[key] = name;
    read_handles_.insert(key);
    return RegRead::Found;
}

RegRead RecordingPlatform::QueryValue(RegHandle key, const std::string& name, RegValue& value) {
    auto it = open_.find(key);
    if (it == open_.end()) return RegRead::Failed;
    const RegValue* kept = Find(keys[it->second].values, name);
    if (kept) value = *kept;
    return kept ? RegRead::Found : RegRead::Missing;
}

bool RecordingPlatform::ListValues(RegHandle key, std::vector<RegValue>& values) {
    auto it = open_.find(key);
    if (it == open_.end()) return false;
    values = keys[it->second].values;
    return true;
}

bool RecordingPlatform::RemoveDataSource(RegRoot root, const std::string& name) {
    if (!Record(std::string("RegRemoveDataSource ") + RootWord(root) + " " + name)) return false;
    const std::string key = KeyName(root, "SOFTWARE\\ODBC\\ODBC.INI\\" + name);
    std::erase_if(keys, [&](const auto& entry) {
        return entry.first == key || entry.first.starts_with(key + "\\");
    });
    auto list = keys.find(KeyName(root, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources"));
    if (list != keys.end()) {
        std::erase_if(list->second.values,
                      [&](const RegValue& value) { return ini::NamesEqual(value.name, name); });
    }
    return true;
}

bool RecordingPlatform::ConfigDataSource(WindowHandle parent, int request,
                                         const std::string& driver, const std::string& attributes) {
    return Record("ConfigDataSource " + std::to_string(parent) + " " + std::to_string(request) +
                  " " + driver + "|" + Visible(attributes));
}

MsgAnswer RecordingPlatform::MessageBox(const MessageBoxRequest& r) {
    const bool ok_only = r.buttons == MsgButtons::Ok;
    Record("MessageBox " + r.title + "|" + r.text + "|" + (ok_only ? "Ok" : "YesNo") + "|" +
           (r.icon == MsgIcon::Exclamation ? "Exclamation" : "Question") + "|" +
           (r.default_button == MsgDefault::First ? "1" : "2"));
    const MsgAnswer answer = Take(message_answers, ok_only ? MsgAnswer::Ok : MsgAnswer::No);
    return ok_only ? MsgAnswer::Ok : answer;
}

std::string RecordingPlatform::InputBox(WindowHandle, const std::string& prompt,
                                        const std::string& title) {
    Record("InputBox " + title + "|" + prompt);
    return Take(input_answers, std::string());
}

bool RecordingPlatform::OpenFile(const OpenFileRequest& r, std::string& file_buffer) {
    if (!Record("OpenFile " + r.title + "|" + Visible(r.platform_filter) + "|" + r.start_folder))
        return false;
    return !(file_buffer = Take(open_file_answers, std::string())).empty();
}

bool RecordingPlatform::BrowseFolder(WindowHandle, const std::string& title,
                                     const std::string& start_folder, std::string& folder) {
    if (!Record("BrowseFolder " + title + "|" + start_folder)) return false;
    return !(folder = Take(folder_answers, std::string())).empty();
}

// --- profile: reads go straight through; each write is recorded, and not made when it fails ---

bool RecordingProfile::SetString(SV section, SV key, SV value, const std::string& path) {
    return owner_.Record("ProfileSet " + path + "|" + std::string(section) + "|" +
                         std::string(key) + "=" + std::string(value)) &&
           real_.SetString(section, key, value, path);
}

bool RecordingProfile::DeleteKey(SV section, SV key, const std::string& path) {
    return owner_.Record("ProfileDeleteKey " + path + "|" + std::string(section) + "|" +
                         std::string(key)) &&
           real_.DeleteKey(section, key, path);
}

bool RecordingProfile::DeleteSection(std::string_view section, const std::string& path) {
    return owner_.Record("ProfileDeleteSection " + path + "|" + std::string(section)) &&
           real_.DeleteSection(section, path);
}

namespace {

std::string EditsText(std::string_view section, std::span<const KeyEdit> edits) {
    std::string text(section);
    for (const KeyEdit& edit : edits) {
        text.append(edit.remove ? "|-" : "|").append(edit.key);
        if (!edit.remove) text.append("=").append(edit.value);
    }
    return text;
}

}  // namespace

std::size_t RecordingProfile::WriteKeys(SV section, std::span<const KeyEdit> edits,
                                        const std::string& path) {
    return owner_.Record("ProfileWriteKeys " + path + "|" + EditsText(section, edits))
               ? real_.WriteKeys(section, edits, path)
               : 0;
}

bool RecordingProfile::WriteKeysAndRemoveSection(SV section, std::span<const KeyEdit> edits,
                                                 SV removed, const std::string& path) {
    return owner_.Record("ProfileWriteKeysAndRemoveSection " + path + "|" +
                         EditsText(section, edits) + "|" + std::string(removed)) &&
           real_.WriteKeysAndRemoveSection(section, edits, removed, path);
}

bool RecordingProfile::Append(const std::string& path, std::string_view bytes) {
    return owner_.Record("ProfileAppend " + path + "|" + Visible(bytes)) &&
           real_.Append(path, bytes);
}

}  // namespace vendaro
