#include "updater/ReachBudget.h"

namespace xcyh2 {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != prefix[i]) return false;
    return true;
}

}  // namespace

std::string ServerOf(std::string_view url) {
    std::string_view rest;
    const char* port = nullptr;
    if (StartsWithNoCase(url, "http://")) {
        rest = url.substr(7);
        port = "80";
    } else if (StartsWithNoCase(url, "https://")) {
        rest = url.substr(8);
        port = "443";
    } else {
        return {};
    }
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#\\"));
    if (std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (authority.empty()) return {};
    std::string server;
    for (char c : authority) server += Lower(c);
    // A port follows the last ":" after the host; an IPv6 host is in brackets.
    std::size_t colon = server.rfind(':');
    std::size_t bracket = server.rfind(']');
    if (colon == std::string::npos || (bracket != std::string::npos && colon < bracket))
        server += std::string(":") + port;
    else if (colon + 1 == server.size())
        server += port;
    return server;
}

bool ReachBudget::GivenUp(std::string_view server) const {
    auto found = misses_.find(server);
    return found != misses_.end() && found->second >= triesInARow_;
}

void ReachBudget::Reached(std::string_view server) {
    if (auto found = misses_.find(server); found != misses_.end()) misses_.erase(found);
}

void ReachBudget::NotReached(std::string_view server) {
    if (server.empty()) return;
    auto found = misses_.find(server);
    if (found == misses_.end()) found = misses_.emplace(std::string(server), 0).first;
    ++found->second;
}

}  // namespace xcyh2
