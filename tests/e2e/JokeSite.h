#pragma once
// The test's side of the loopback joke site: what it serves next, and the
// requests it recorded.
#include <string>
#include <vector>

namespace jestlark::e2e {

class JokeSite {
public:
    JokeSite();  // the spool folder from JESTLARK_SPOOL_JOKESITE; clears it

    void ServePage(const std::string& bytes);
    void ServeStatus(int status);
    void StallSeconds(int seconds);
    void ServeSamples();  // back to the sample pages

    std::vector<std::string> Requests() const;  // oldest first, raw bytes

private:
    void Write(const std::string& name, const std::string& bytes) const;
    void Remove(const std::string& name) const;
    std::string spool_;
};

}  // namespace jestlark::e2e
