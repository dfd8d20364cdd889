#include "testing/recording_platform.h"

#include <utility>

namespace vendaro {
namespace {

// NULs inside recorded text are shown as "\0" so a line stays one readable line.
std::string Visible(std::string_view text) {
    std::string out;
    for (char c : text) out += c == '\0' ? std::string("\\0") : std::string(1, c);
    return out;
}

template <typename T>
T Take(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

}  // namespace

RecordingPlatform::RecordingPlatform(Profile& real_profile) : profile_(*this, real_profile) {}

bool RecordingPlatform::Record(std::string line) {
    bool fail = fail_nth > 0 && calls.size() + 1 == static_cast<std::size_t>(fail_nth);
    for (const std::string& prefix : fail_prefixes) fail = fail || line.starts_with(prefix);
    calls.push_back(std::move(line) + (fail ? " FAILED" : ""));
    return !fail;
}

RegHandle RecordingPlatform::CreateKey(RegRoot root, const std::string& path) {
    const char* name = root == RegRoot::CurrentUser    ? "HKCU"
                       : root == RegRoot::LocalMachine ? "HKLM"
                                                       : "?";
    return Record(std::string("RegCreateKey ") + name + " " + path) ? next_handle_++ : 0;
}

bool RecordingPlatform::SetString(RegHandle key, const std::string& name,
                                  const std::string& value) {
    return Record("RegSetString " + std::to_string(key) + " " + name + "=" + value) && key != 0;
}

bool RecordingPlatform::SetNumber(RegHandle key, const std::string& name, std::int32_t value) {
    return Record("RegSetNumber " + std::to_string(key) + " " + name + "=" +
                  std::to_string(value)) &&
           key != 0;
}

bool RecordingPlatform::SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) {
    return Record("RegSetFlagByte " + std::to_string(key) + " " + name + "=" +
                  std::to_string(value)) &&
           key != 0;
}

bool RecordingPlatform::CloseKey(RegHandle key) {
    return Record("RegCloseKey " + std::to_string(key)) && key != 0;
}

bool RecordingPlatform::ConfigDataSource(WindowHandle parent, int request,
                                         const std::string& driver, const std::string& attributes) {
    return Record("ConfigDataSource " + std::to_string(parent) + " " + std::to_string(request) +
                  " " + driver + "|" + Visible(attributes));
}

std::string RecordingPlatform::SystemDirectory() {
    return system_directory;
}

MsgAnswer RecordingPlatform::MessageBox(const MessageBoxRequest& r) {
    const bool ok_only = r.buttons == MsgButtons::Ok;
    std::string line = "MessageBox " + r.title + "|" + r.text + "|" + (ok_only ? "Ok" : "YesNo") +
                       "|" + (r.icon == MsgIcon::Exclamation ? "Exclamation" : "Question") + "|" +
                       (r.default_button == MsgDefault::First ? "1" : "2");
    Record(line);
    if (on_dialog) on_dialog(line);
    const MsgAnswer answer = Take(message_answers, ok_only ? MsgAnswer::Ok : MsgAnswer::No);
    return ok_only ? MsgAnswer::Ok : answer;
}

std::string RecordingPlatform::InputBox(WindowHandle, const std::string& prompt,
                                        const std::string& title) {
    std::string line = "InputBox " + title + "|" + prompt;
    Record(line);
    if (on_dialog) on_dialog(line);
    return Take(input_answers, std::string());
}

bool RecordingPlatform::OpenFile(const OpenFileRequest& r, std::string& file_buffer) {
    std::string line =
        "OpenFile " + r.title + "|" + Visible(r.platform_filter) + "|" + r.start_folder;
    if (!Record(line)) return false;
    if (on_dialog) on_dialog(line);
    file_buffer = Take(open_file_answers, std::string());
    return !file_buffer.empty();
}

bool RecordingPlatform::BrowseFolder(WindowHandle, const std::string& title,
                                     const std::string& start_folder, std::string& folder) {
    std::string line = "BrowseFolder " + title + "|" + start_folder;
    if (!Record(line)) return false;
    if (on_dialog) on_dialog(line);
    folder = Take(folder_answers, std::string());
    return !folder.empty();
}

void RecordingPlatform::SetBusy(bool b) {
    busy = b;
    Record(b ? "Busy on" : "Busy off");
}

bool RecordingPlatform::Launch(const std::string& command_line) {
    return Record("Launch " + command_line);
}

// --- profile: reads go straight through; each write is recorded, and not made when it fails ---

std::string RecordingProfile::GetString(std::string_view section, std::string_view key,
                                        std::string_view def, const std::string& path) {
    return real_.GetString(section, key, def, path);
}

bool RecordingProfile::SetString(std::string_view section, std::string_view key,
                                 std::string_view value, const std::string& path) {
    return owner_.Record("ProfileSet " + path + "|" + std::string(section) + "|" +
                         std::string(key) + "=" + std::string(value)) &&
           real_.SetString(section, key, value, path);
}

bool RecordingProfile::DeleteKey(std::string_view section, std::string_view key,
                                 const std::string& path) {
    return owner_.Record("ProfileDeleteKey " + path + "|" + std::string(section) + "|" +
                         std::string(key)) &&
           real_.DeleteKey(section, key, path);
}

bool RecordingProfile::DeleteSection(std::string_view section, const std::string& path) {
    return owner_.Record("ProfileDeleteSection " + path + "|" + std::string(section)) &&
           real_.DeleteSection(section, path);
}

std::optional<std::string> RecordingProfile::ReadAll(const std::string& path) {
    return real_.ReadAll(path);
}

bool RecordingProfile::Append(const std::string& path, std::string_view bytes) {
    return owner_.Record("ProfileAppend " + path + "|" + Visible(bytes)) &&
           real_.Append(path, bytes);
}

}  // namespace vendaro
