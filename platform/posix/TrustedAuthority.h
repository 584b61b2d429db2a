#pragma once
#include <string>

namespace jestlark {

// The extra certificate authority file that TLS connections of this process
// trust besides the system's, or "" for none (see ScopedInternetTrust).
std::string TrustedAuthorityFile();

}  // namespace jestlark
