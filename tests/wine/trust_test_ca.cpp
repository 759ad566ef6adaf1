// Adds one CA certificate to the ROOT store of the Wine prefix it runs in, so
// that WinHTTP trusts the stand-in website there and nowhere else.
//   keldo_trust_test_ca.exe <certificate.der>
#include <windows.h>

#include <wincrypt.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/windows/unique_handle.h"
#include "platform/windows/win_error.h"

// wmain stays outside the project namespace.
using namespace keldo;

namespace {

struct CertStoreCloser {
  void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};
using CertStore = UniqueHandle<HCERTSTORE, CertStoreCloser>;

// A certificate is a few KiB; anything larger is not one.
constexpr DWORD kMaxCertificateBytes = 64 * 1024;

int Fail(const std::string& what, DWORD code) {
  std::fprintf(stderr, "keldo_trust_test_ca: %s\n", DescribeError(what, code).c_str());
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: keldo_trust_test_ca <certificate.der>\n");
    return 64;
  }
  const KernelHandle file =
      OwnFileHandle(CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail("Opening the certificate", GetLastError());
  std::vector<BYTE> der(kMaxCertificateBytes);
  DWORD length = 0;
  if (!ReadFile(file.get(), der.data(), kMaxCertificateBytes, &length, nullptr)) {
    return Fail("Reading the certificate", GetLastError());
  }
  if (length == 0 || length == kMaxCertificateBytes) {
    return Fail("Reading the certificate (empty or over 64 KiB)", ERROR_INVALID_DATA);
  }
  const CertStore store(CertOpenSystemStoreW(0, L"ROOT"));
  if (!store) return Fail("Opening the ROOT store", GetLastError());
  if (!CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der.data(), length,
                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
    return Fail("Adding the certificate to the ROOT store", GetLastError());
  }
  // The store is written back when it is closed, by the owner on the way out.
  return 0;
}
