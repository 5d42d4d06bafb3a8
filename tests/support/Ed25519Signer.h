#pragma once

// An Ed25519 key pair made for one test, which signs as a release would.

#include <QByteArray>
#include <QString>

#include <openssl/evp.h>

#include <memory>

namespace kolu::test {

class Ed25519Signer {
public:
    Ed25519Signer()
        : m_key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"), &EVP_PKEY_free)
    {
    }

    // The public half as the configuration takes it: the raw 32 bytes, base64.
    QString publicKey() const
    {
        QByteArray raw(32, '\0');
        size_t size = size_t(raw.size());
        EVP_PKEY_get_raw_public_key(m_key.get(), reinterpret_cast<unsigned char *>(raw.data()), &size);
        return QString::fromLatin1(raw.left(qsizetype(size)).toBase64());
    }

    // The signature of `message`, base64, as the signature file holds it.
    QByteArray sign(const QByteArray &message) const
    {
        const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
        QByteArray signature(64, '\0');
        size_t size = size_t(signature.size());
        EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, m_key.get());
        EVP_DigestSign(context.get(), reinterpret_cast<unsigned char *>(signature.data()), &size,
                       reinterpret_cast<const unsigned char *>(message.constData()), size_t(message.size()));
        return signature.left(qsizetype(size)).toBase64();
    }

private:
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> m_key;
};

} // namespace kolu::test
