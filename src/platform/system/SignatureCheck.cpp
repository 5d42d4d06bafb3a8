#include "platform/system/SignatureCheck.h"

#include "platform/system/SystemLibrary.h"

#include <openssl/evp.h>
#include <openssl/opensslv.h>

#include <memory>

namespace kolu {

namespace {

#define KOLU_STRINGIFY2(x) #x
#define KOLU_STRINGIFY(x) KOLU_STRINGIFY2(x)
// The library these headers are from: another major version may differ.
constexpr char kCryptoLibrary[] = "libcrypto.so." KOLU_STRINGIFY(OPENSSL_SHLIB_VERSION);

// What is used of the crypto library, looked up once.
struct Crypto {
    decltype(&EVP_PKEY_new_raw_public_key) newRawPublicKey = nullptr;
    decltype(&EVP_PKEY_free) freeKey = nullptr;
    decltype(&EVP_MD_CTX_new) newContext = nullptr;
    decltype(&EVP_MD_CTX_free) freeContext = nullptr;
    decltype(&EVP_DigestVerifyInit) verifyInit = nullptr;
    decltype(&EVP_DigestVerify) verify = nullptr;
};

const Crypto *crypto()
{
    using C = Crypto;
    return systemLibraryTable<C>(
        kCryptoLibrary, "no signature can be verified",
        libraryFunction(&C::newRawPublicKey, "EVP_PKEY_new_raw_public_key"),
        libraryFunction(&C::freeKey, "EVP_PKEY_free"), libraryFunction(&C::newContext, "EVP_MD_CTX_new"),
        libraryFunction(&C::freeContext, "EVP_MD_CTX_free"), libraryFunction(&C::verifyInit, "EVP_DigestVerifyInit"),
        libraryFunction(&C::verify, "EVP_DigestVerify"));
}

} // namespace

bool verifyEd25519(QByteArrayView message, QByteArrayView signature, QByteArrayView publicKey)
{
    constexpr qsizetype kKeyBytes = 32;
    constexpr qsizetype kSignatureBytes = 64;
    const Crypto *c = crypto();
    if (c == nullptr || publicKey.size() != kKeyBytes || signature.size() != kSignatureBytes)
        return false;
    const std::unique_ptr<EVP_PKEY, decltype(c->freeKey)> key(
        c->newRawPublicKey(EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char *>(publicKey.data()),
                           size_t(publicKey.size())),
        c->freeKey);
    const std::unique_ptr<EVP_MD_CTX, decltype(c->freeContext)> context(c->newContext(), c->freeContext);
    // Ed25519 hashes the message itself: no digest is named.
    return key && context && c->verifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1
           && c->verify(context.get(), reinterpret_cast<const unsigned char *>(signature.data()),
                        size_t(signature.size()), reinterpret_cast<const unsigned char *>(message.data()),
                        size_t(message.size()))
                  == 1;
}

} // namespace kolu
