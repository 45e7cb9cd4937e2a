// Checks a minisign signature (Ed25519, the file itself or its BLAKE2b-512 hash signed)
// with the update site's public key, before a downloaded installer may be started.
#pragma once

#include <string>
#include <string_view>

namespace arti {

enum class SignatureResult {
    Valid,
    NoKey,        // the public key is missing or not a minisign key
    Malformed,    // the signature text is not a minisign signature
    OtherKey,     // made with another key than the site's
    Invalid,      // the signature does not match the file, or its comment was altered
};

// `publicKey` and `signature` are the texts of the ".pub" and ".minisig" files.
SignatureResult verifyMinisign(std::string_view data, std::string_view signature, std::string_view publicKey);

// The file in the program folder that holds the update site's public key.
std::string updateKeyFile();

} // namespace arti
