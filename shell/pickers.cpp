#include "shell/pickers.h"

#include <utility>

#include "platform/spaces.h"

namespace vendaro {
namespace {

std::string_view BeforeFirstNul(std::string_view text) {
    std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

}  // namespace

std::string PlatformFilter(std::string filter) {
    if (filter.empty() || filter.back() != '|') filter += '|';
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    // The list ends with an empty item; the value carries that NUL itself so that it does
    // not depend on how a view hands the bytes over.
    filter += '\0';
    return filter;
}

std::string OpenDialogResult(std::string_view file_buffer) {
    return std::string(TrimSpaces(BeforeFirstNul(file_buffer)));
}

std::string FolderDialogResult(std::string_view path_buffer) {
    return std::string(BeforeFirstNul(path_buffer));
}

std::string ShowOpenDialog(Dialogs& dialogs, WindowHandle owner, std::string filter,
                           const std::string& title, const std::string& start_folder) {
    OpenFileRequest request;
    request.owner = owner;
    request.platform_filter = PlatformFilter(std::move(filter));
    request.title = title;
    request.start_folder = start_folder;
    std::string buffer;
    if (!dialogs.OpenFile(request, buffer)) return {};
    return OpenDialogResult(buffer);
}

std::string BrowseForFolder(Dialogs& dialogs, WindowHandle owner, const std::string& title,
                            const std::string& start_folder) {
    std::string folder;
    if (!dialogs.BrowseFolder(owner, title, start_folder, folder)) return {};
    return FolderDialogResult(folder);
}

}  // namespace vendaro
