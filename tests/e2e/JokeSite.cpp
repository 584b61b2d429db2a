#include "tests/e2e/JokeSite.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace jestlark::e2e {

namespace fs = std::filesystem;

JokeSite::JokeSite() {
    const char* spool = std::getenv("JESTLARK_SPOOL_JOKESITE");
    spool_ = spool ? spool : "";
    ServeSamples();
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(spool_, ignored))
        if (entry.path().filename().string().rfind("request-", 0) == 0) fs::remove(entry.path(), ignored);
}

void JokeSite::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = spool_ + "/" + name;
    {
        std::ofstream out(path + ".part", std::ios::binary);
        out << bytes;
    }
    std::error_code ignored;
    fs::rename(path + ".part", path, ignored);
}

void JokeSite::Remove(const std::string& name) const {
    std::error_code ignored;
    fs::remove(spool_ + "/" + name, ignored);
}

void JokeSite::ServePage(const std::string& bytes) { Write("page.bin", bytes); }
void JokeSite::ServeStatus(int status) { Write("status", std::to_string(status)); }
void JokeSite::StallSeconds(int seconds) { Write("stall", std::to_string(seconds)); }

void JokeSite::ServeSamples() {
    for (const char* name : {"page.bin", "status", "stall"}) Remove(name);
}

std::vector<std::string> JokeSite::Requests() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(spool_, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("request-", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".bin")
            names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> requests;
    for (const std::string& path : names) {
        std::ifstream in(path, std::ios::binary);
        requests.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return requests;
}

}  // namespace jestlark::e2e
