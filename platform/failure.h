#pragma once
// Why the last failing platform call failed, in words a user can act on. Like errno: a call
// that fails notes its reason, whoever reports the failure (the status line, a message box,
// one line on stderr) takes it. Every interface keeps answering true or false as before.
#include <string>
#include <string_view>
#include <utility>

namespace vendaro {

namespace detail {
inline std::string& FailureSlot() {
    thread_local std::string reason;
    return reason;
}
}  // namespace detail

// Notes why the call under way fails: one sentence naming the file or key and the cause
// ("/home/ann/.odbc.ini is in use by another program."). A later note replaces it.
inline void NoteFailure(std::string reason) {
    detail::FailureSlot() = std::move(reason);
}

// The noted reason, cleared; empty when no failing call gave one.
inline std::string TakeFailure() {
    return std::exchange(detail::FailureSlot(), std::string());
}

// Forgets any noted reason; a command calls it before its first platform call, so that a
// reason left by an earlier command that ended well is never reported for this one.
inline void ClearFailure() {
    detail::FailureSlot().clear();
}

// `sentence` ("The DSN script could not be deleted.") with `reason` after a colon ("The DSN
// script could not be deleted: /opt/v/vendaro.ini is in use by another program."); the
// sentence alone when there is no reason. Either may end in its own full stop.
inline std::string WithReason(std::string_view sentence, std::string_view reason) {
    if (reason.empty()) return std::string(sentence);
    if (sentence.ends_with('.')) sentence.remove_suffix(1);
    if (reason.ends_with('.')) reason.remove_suffix(1);
    return std::string(sentence) + ": " + std::string(reason) + ".";
}

}  // namespace vendaro
