#include "testing/recording_platform.h"

#include "platform/failure.h"

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

bool RecordingProfile::Append(const std::string& path, std::string_view bytes) {
    return owner_.Record("ProfileAppend " + path + "|" + Visible(bytes)) &&
           real_.Append(path, bytes);
}

}  // namespace vendaro
