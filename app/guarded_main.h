#pragma once
// What every console entry point shares: no exception leaves main.
#include <exception>
#include <iostream>
#include <string_view>

namespace vendaro {

// Runs `body` and returns its exit status; an exception it lets out is said on stderr as
// "<program>: <what>" and gives `failed`.
template <typename Body>
int GuardedMain(std::string_view program, int failed, Body body) {
    try {
        return body();
    } catch (const std::exception& e) {
        std::cerr << program << ": " << e.what() << "\n";
    } catch (...) {
        std::cerr << program << ": unexpected failure\n";
    }
    return failed;
}

}  // namespace vendaro
