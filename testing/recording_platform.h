#pragma once
// An in-memory platform for tests: records every call with its arguments, one line each, in
// the order made, answers dialogs from queues, and fails the calls a test chooses.
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vendaro {

class RecordingPlatform;

// Forwards to a real profile (so results land in a real file) and records each write.
class RecordingProfile final : public Profile {
  public:
    RecordingProfile(RecordingPlatform& owner, Profile& real) : owner_(owner), real_(real) {}
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override {
        return Read(real_.GetString(section, key, def, path));
    }
    bool SetString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override;
    bool DeleteKey(std::string_view section, std::string_view key,
                   const std::string& path) override;
    bool DeleteSection(std::string_view section, const std::string& path) override;
    std::optional<std::string> ReadAll(const std::string& p) override {
        return Read(real_.ReadAll(p));
    }
    bool Append(const std::string& path, std::string_view bytes) override;
    // One call, as the real profile makes it: "ProfileWriteKeys path|section|k=v|-gone".
    std::size_t WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                          const std::string& path) override;
    // "ProfileWriteKeysAndRemoveSection path|section|k=v|-gone|removed".
    bool WriteKeysAndRemoveSection(std::string_view section, std::span<const KeyEdit> edits,
                                   std::string_view removed, const std::string& path) override;
    // A reading is no effect: the real profile's own, so that reads through it are one version.
    std::unique_ptr<ProfileSnapshot> Snapshot(const std::string& p) override {
        return Read(real_.Snapshot(p));
    }

  private:
    template <typename T>
    T Read(T answer);
    RecordingPlatform& owner_;
    Profile& real_;
};

class RecordingPlatform final : public Registry, public Installer, public Dialogs {
  public:
    // `real_profile` receives the profile calls after they are recorded.
    explicit RecordingPlatform(Profile& real_profile) : profile_(*this, real_profile) {}

    // Every call, one line each, e.g. "RegCreateKey HKCU SOFTWARE\ODBC\ODBC.INI\Sales -> 1",
    // "RegSetString 1 Database=pubs", "MessageBox Vendaro!|Are you sure ...|YesNo|Question|2".
    // Profile reads are not recorded (they are not effects).
    std::vector<std::string> calls;

    // A call whose line starts with one of these prefixes fails (and is still recorded,
    // with " FAILED" appended).
    std::vector<std::string> fail_prefixes;
    // When above 0, the call that would become calls[fail_nth - 1] fails: a sweep over
    // 1..calls.size() of a clean run fails every effect once.
    int fail_nth = 0;
    // What a failing call notes as its reason (NoteFailure), when not empty.
    std::string fail_reason;
    // Runs after each read of the profile: another program at work between two reads.
    std::function<void()> after_read;

    // Answers, taken from the front; an empty queue answers No / Cancel / "".
    std::deque<MsgAnswer> message_answers;
    std::deque<std::string> input_answers;
    std::deque<std::string> open_file_answers;  // "" = Cancel
    std::deque<std::string> folder_answers;     // "" = Cancel

    std::string system_directory = "C:\\WINDOWS\\System32";

    // The registry the writes made, as typed values per key, named by KeyName, for the reads.
    // Tests may fill it directly.
    struct Key {
        std::vector<RegValue> values;
    };
    std::map<std::string, Key> keys;
    // Keys (named by KeyName) whose reads fail.
    std::set<std::string> unreadable_keys;
    // The name a key has in `keys`: "hkcu\software\odbc\odbc.ini\sales" (lower case, as
    // the registry's names ignore case).
    static std::string KeyName(RegRoot root, const std::string& path);

    Platform AsPlatform() { return Platform{profile_, *this, *this, *this}; }
    Profile& profile() { return profile_; }

    // Registry
    RegHandle CreateKey(RegRoot root, const std::string& path) override;
    bool SetString(RegHandle key, const std::string& name, const std::string& value) override;
    bool SetNumber(RegHandle key, const std::string& name, std::int32_t value) override;
    bool SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) override;
    bool CloseKey(RegHandle key) override;
    // Reads are not recorded (they are not effects); a removal is.
    RegRead OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) override;
    RegRead QueryValue(RegHandle key, const std::string& name, RegValue& value) override;
    bool ListValues(RegHandle key, std::vector<RegValue>& values) override;
    // Nothing lists subkeys through this platform: a read that fails.
    bool ListSubkeys(RegHandle, std::vector<std::string>&) override { return false; }
    bool RemoveDataSource(RegRoot root, const std::string& name) override;
    std::string ExportPath(RegRoot root, const std::string& path) override {
        return RootName(root) + "\\" + path;
    }
    // Installer
    bool ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                          const std::string& attributes) override;
    std::string SystemDirectory() override { return system_directory; }
    // Dialogs
    MsgAnswer MessageBox(const MessageBoxRequest& request) override;
    std::string InputBox(WindowHandle, const std::string& prompt,
                         const std::string& title) override;
    bool OpenFile(const OpenFileRequest& request, std::string& file_buffer) override;
    bool BrowseFolder(WindowHandle owner, const std::string& title, const std::string& start_folder,
                      std::string& folder) override;
    void SetBusy(bool b) override { Record(b ? "Busy on" : "Busy off"); }
    bool Launch(const std::string& line) override { return Record("Launch " + line); }

    // Records `line`; returns false when the test asked for it to fail.
    bool Record(std::string line);

  private:
    bool Store(RegHandle key, const std::string& name, std::uint32_t type, std::string data);

    RecordingProfile profile_;
    RegHandle next_handle_ = 1;
    // The key each handle names in `keys`.
    std::map<RegHandle, std::string> open_;
    std::set<RegHandle> read_handles_;
};

template <typename T>
T RecordingProfile::Read(T answer) {
    if (owner_.after_read) owner_.after_read();
    return answer;
}

}  // namespace vendaro