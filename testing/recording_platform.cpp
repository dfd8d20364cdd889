#include "testing/recording_platform.h"

#include <utility>

namespace vendaro {
namespace {

const char* RootName(RegRoot root) {
    return root == RegRoot::CurrentUser ? "HKCU" : root == RegRoot::LocalMachine ? "HKLM" : "?";
}

// NULs inside recorded text are shown as "\0" so a line stays one readable line.
std::string Visible(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\0') {
            out += "\\0";
        } else {
            out += c;
        }
    }
    return out;
}

const char* ButtonsName(MsgButtons b) {
    return b == MsgButtons::Ok ? "Ok" : "YesNo";
}
const char* IconName(MsgIcon i) {
    return i == MsgIcon::Exclamation ? "Exclamation" : "Question";
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
    if (fail_nth > 0 && calls.size() + 1 == static_cast<std::size_t>(fail_nth)) {
        calls.push_back(std::move(line) + " FAILED");
        return false;
    }
    for (const std::string& prefix : fail_prefixes) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            calls.push_back(std::move(line) + " FAILED");
            return false;
        }
    }
    calls.push_back(std::move(line));
    return true;
}

RegHandle RecordingPlatform::CreateKey(RegRoot root, const std::string& path) {
    RegHandle handle = next_handle_;
    if (!Record(std::string("RegCreateKey ") + RootName(root) + " " + path)) return 0;
    ++next_handle_;
    return handle;
}

bool RecordingPlatform::SetString(RegHandle key, const std::string& name,
                                  const std::string& value) {
    bool ok = Record("RegSetString " + std::to_string(key) + " " + name + "=" + value);
    return ok && key != 0;
}

bool RecordingPlatform::SetNumber(RegHandle key, const std::string& name, std::int32_t value) {
    bool ok =
        Record("RegSetNumber " + std::to_string(key) + " " + name + "=" + std::to_string(value));
    return ok && key != 0;
}

bool RecordingPlatform::SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) {
    bool ok =
        Record("RegSetFlagByte " + std::to_string(key) + " " + name + "=" + std::to_string(value));
    return ok && key != 0;
}

bool RecordingPlatform::CloseKey(RegHandle key) {
    bool ok = Record("RegCloseKey " + std::to_string(key));
    return ok && key != 0;
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
    std::string line = "MessageBox " + r.title + "|" + r.text + "|" + ButtonsName(r.buttons) + "|" +
                       IconName(r.icon) + "|" + (r.default_button == MsgDefault::First ? "1" : "2");
    Record(line);
    if (on_dialog) on_dialog(line);
    MsgAnswer fallback = r.buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    MsgAnswer answer = Take(message_answers, fallback);
    if (r.buttons == MsgButtons::Ok) answer = MsgAnswer::Ok;
    return answer;
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

// --- profile ---

std::string RecordingProfile::GetString(std::string_view section, std::string_view key,
                                        std::string_view def, const std::string& path) {
    return real_.GetString(section, key, def, path);
}

bool RecordingProfile::SetString(std::string_view section, std::string_view key,
                                 std::string_view value, const std::string& path) {
    if (!owner_.Record("ProfileSet " + path + "|" + std::string(section) + "|" + std::string(key) +
                       "=" + std::string(value)))
        return false;
    return real_.SetString(section, key, value, path);
}

bool RecordingProfile::DeleteKey(std::string_view section, std::string_view key,
                                 const std::string& path) {
    if (!owner_.Record("ProfileDeleteKey " + path + "|" + std::string(section) + "|" +
                       std::string(key)))
        return false;
    return real_.DeleteKey(section, key, path);
}

bool RecordingProfile::DeleteSection(std::string_view section, const std::string& path) {
    if (!owner_.Record("ProfileDeleteSection " + path + "|" + std::string(section))) return false;
    return real_.DeleteSection(section, path);
}

std::optional<std::string> RecordingProfile::ReadAll(const std::string& path) {
    return real_.ReadAll(path);
}

bool RecordingProfile::Append(const std::string& path, std::string_view bytes) {
    if (!owner_.Record("ProfileAppend " + path + "|" + Visible(bytes))) return false;
    return real_.Append(path, bytes);
}

}  // namespace vendaro
