#pragma once

#include <QByteArrayView>

namespace kolu {

// Whether `signature` (64 bytes) is the Ed25519 signature of `message` by the
// holder of `publicKey` (the raw 32 bytes). The system's crypto library is
// loaded at the first call, so that a run that verifies nothing never maps
// it; without it nothing verifies. Safe to call from any thread.
bool verifyEd25519(QByteArrayView message, QByteArrayView signature, QByteArrayView publicKey);

} // namespace kolu
