#pragma once
#include <memory>
#include <string>

namespace jestlark {

// Makes TLS connections of this process trust a certificate authority for
// the value's life (a test's own CA), with verification left fully on.
// pemFile and derFile hold the same certificate; each platform reads the
// form it needs.
class ScopedInternetTrust {
public:
    ScopedInternetTrust(const std::string& pemFile, const std::string& derFile);
    ~ScopedInternetTrust();
    ScopedInternetTrust(const ScopedInternetTrust&) = delete;
    ScopedInternetTrust& operator=(const ScopedInternetTrust&) = delete;

    explicit operator bool() const { return trusted_; }

private:
    struct Added;
    std::unique_ptr<Added> added_;
    bool trusted_ = false;
};

}  // namespace jestlark
