#include "platform/InternetTrust.h"

#include <windows.h>
#include <wincrypt.h>

#include <fstream>
#include <iterator>

#include "platform/DynamicLibrary.h"

namespace jestlark {

// crypt32 is bound at run time: only tests trust an authority of their own,
// and the plugin then needs no import of it.
struct ScopedInternetTrust::Added {
    DynamicLibrary crypt32;
    HCERTSTORE store = nullptr;
    PCCERT_CONTEXT certificate = nullptr;

    ~Added() {
        using DeleteFn = BOOL(WINAPI*)(PCCERT_CONTEXT);
        using CloseFn = BOOL(WINAPI*)(HCERTSTORE, DWORD);
        if (certificate) {
            if (auto remove = reinterpret_cast<DeleteFn>(crypt32.Find("CertDeleteCertificateFromStore"))) {
                remove(certificate);
            }
        }
        if (store) {
            if (auto close = reinterpret_cast<CloseFn>(crypt32.Find("CertCloseStore"))) close(store, 0);
        }
    }
};

ScopedInternetTrust::ScopedInternetTrust(const std::string&, const std::string& derFile)
    : added_(std::make_unique<Added>()) {
    std::ifstream file(derFile, std::ios::binary);
    const std::string der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (der.empty()) return;
    added_->crypt32 = DynamicLibrary::Load("crypt32.dll");
    using OpenFn = HCERTSTORE(WINAPI*)(HCRYPTPROV_LEGACY, LPCSTR);
    using AddFn = BOOL(WINAPI*)(HCERTSTORE, DWORD, const BYTE*, DWORD, DWORD, PCCERT_CONTEXT*);
    auto open = reinterpret_cast<OpenFn>(added_->crypt32.Find("CertOpenSystemStoreA"));
    auto add = reinterpret_cast<AddFn>(added_->crypt32.Find("CertAddEncodedCertificateToStore"));
    if (!open || !add) return;
    // The current user's Root store: the one the chain check of a TLS
    // connection consults.
    added_->store = open(0, "ROOT");
    if (!added_->store) return;
    trusted_ = add(added_->store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                   DWORD(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, &added_->certificate) != FALSE;
    // A registry store keeps an addition to itself until it is committed; the
    // chain engine reads the registry through a handle of its own.
    using ControlFn = BOOL(WINAPI*)(HCERTSTORE, DWORD, DWORD, const void*);
    auto control = reinterpret_cast<ControlFn>(added_->crypt32.Find("CertControlStore"));
    if (trusted_ && control) control(added_->store, 0, CERT_STORE_CTRL_COMMIT, nullptr);
}

ScopedInternetTrust::~ScopedInternetTrust() = default;

}  // namespace jestlark
