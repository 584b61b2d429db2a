#include "platform/InternetTrust.h"

#include <fstream>
#include <mutex>

#include "platform/posix/TrustedAuthority.h"

namespace jestlark {
namespace {

struct Authority {
    std::mutex mutex;
    std::string file;
};

Authority& TheAuthority() {
    static Authority authority;
    return authority;
}

}  // namespace

struct ScopedInternetTrust::Added {};

std::string TrustedAuthorityFile() {
    Authority& authority = TheAuthority();
    std::lock_guard<std::mutex> lock(authority.mutex);
    return authority.file;
}

ScopedInternetTrust::ScopedInternetTrust(const std::string& pemFile, const std::string&) {
    if (!std::ifstream(pemFile)) return;
    Authority& authority = TheAuthority();
    std::lock_guard<std::mutex> lock(authority.mutex);
    authority.file = pemFile;
    trusted_ = true;
}

ScopedInternetTrust::~ScopedInternetTrust() {
    if (!trusted_) return;
    Authority& authority = TheAuthority();
    std::lock_guard<std::mutex> lock(authority.mutex);
    authority.file.clear();
}

}  // namespace jestlark
