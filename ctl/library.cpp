#include "ctl/library.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/ini_text.h"

namespace vendaro::ctl {

// Reads from one reading of the library; writes pass to the platform's profile, except those
// that would change the library itself.
class Library::ReadOnlyProfile final : public Profile {
  public:
    ReadOnlyProfile(Profile& real, std::string library)
        : real_(real), library_(std::move(library)), snapshot_(real_.Snapshot(library_)) {}

    const ProfileSnapshot& snapshot() const { return *snapshot_; }

    // Every read the store makes is a read of a script.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string&) override {
        return snapshot_->GetString(section, key, def);
    }
    bool SetString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override {
        return !IsLibrary(path) && real_.SetString(section, key, value, path);
    }
    bool DeleteKey(std::string_view section, std::string_view key,
                   const std::string& path) override {
        return !IsLibrary(path) && real_.DeleteKey(section, key, path);
    }
    bool DeleteSection(std::string_view section, const std::string& path) override {
        return !IsLibrary(path) && real_.DeleteSection(section, path);
    }
    std::optional<std::string> ReadAll(const std::string& path) override {
        return real_.ReadAll(path);
    }
    bool Append(const std::string& path, std::string_view bytes) override {
        return !IsLibrary(path) && real_.Append(path, bytes);
    }
    std::size_t WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                          const std::string& path) override {
        return IsLibrary(path) ? 0 : real_.WriteKeys(section, edits, path);
    }
    std::unique_ptr<ProfileSnapshot> Snapshot(const std::string&) override {
        return std::make_unique<Shared>(*snapshot_);
    }

  private:
    // The one reading, lent out.
    class Shared final : public ProfileSnapshot {
      public:
        explicit Shared(const ProfileSnapshot& inner) : inner_(inner) {}
        std::optional<std::string_view> Bytes() const override { return inner_.Bytes(); }
        void ForEachBracketLine(const std::function<void(std::string_view)>& fn) const override {
            inner_.ForEachBracketLine(fn);
        }
        std::string GetString(std::string_view section, std::string_view key,
                              std::string_view def) const override {
            return inner_.GetString(section, key, def);
        }
        ini::SectionKeys KeysOf(std::string_view section) const override {
            return inner_.KeysOf(section);
        }

      private:
        const ProfileSnapshot& inner_;
    };

    bool IsLibrary(const std::string& path) const {
        std::error_code ignored;
        return path.empty() || path == library_ ||
               std::filesystem::equivalent(path, library_, ignored);
    }

    Profile& real_;
    std::string library_;
    std::unique_ptr<ProfileSnapshot> snapshot_;
};

Library::~Library() = default;

std::unique_ptr<Library> Library::Open(Profile& profile, const std::string& path, char separator,
                                       std::string& error) {
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (std::filesystem::is_directory(status)) {
        error = "cannot read the library " + path + ": it is a folder";
        return nullptr;
    }
    errno = 0;
    std::ifstream probe(path, std::ios::binary);
    if (!probe) {
        const int why = errno != 0 ? errno : (std::filesystem::exists(status) ? EACCES : ENOENT);
        error = "cannot read the library " + path + ": " + std::strerror(why);
        return nullptr;
    }
    probe.close();

    std::unique_ptr<Library> library(new Library());
    library->path_ = path;
    library->profile_ = std::make_unique<ReadOnlyProfile>(profile, path);
    if (!library->profile_->snapshot().Bytes()) {
        error = "cannot read the library " + path;
        return nullptr;
    }
    const std::size_t slash = path.find_last_of(separator == '\\' ? "\\/" : "/");
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    library->store_ =
        std::make_unique<ScriptStore>(*library->profile_, folder, "vendaro", separator);
    library->version_.emplace(*library->store_);
    library->rows_ = library->store_->ListScripts();
    for (std::size_t i = 0; i < library->rows_.size(); ++i) {
        library->by_name_[ini::FoldedName(library->rows_[i].name)] = i;
    }
    return library;
}

const ScriptRow* Library::Find(const std::string& name) const {
    auto found = by_name_.find(ini::FoldedName(name));
    return found == by_name_.end() ? nullptr : &rows_[found->second];
}

}  // namespace vendaro::ctl
