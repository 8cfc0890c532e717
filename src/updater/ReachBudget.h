// Which servers the updater has given up on in this run. A server that was not reached on
// `triesInARow` tries in a row (the first line to it, with all its retries) is given up on: the
// updater then tries each later line to it once, briefly. A try that reaches it (any answer, a
// refusal too) makes it a server like any other again.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace xcyh2 {

// The server an http:// or https:// address names, as lower-case "host:port" with the scheme's
// port when none is given ("example.com:80"); empty for any other address.
std::string ServerOf(std::string_view url);

class ReachBudget {
public:
    explicit ReachBudget(int triesInARow) : triesInARow_(triesInARow) {}

    bool GivenUp(std::string_view server) const;
    // What a try to server came to. An empty server (no address) is not noted.
    void Reached(std::string_view server);
    void NotReached(std::string_view server);

private:
    int triesInARow_;
    std::map<std::string, int, std::less<>> misses_;  // tries in a row that did not reach it
};

}  // namespace xcyh2
