// Checks a minisign signature (Ed25519, the file itself or its BLAKE2b-512 hash signed)
// with the update site's public key, before a downloaded installer may be started.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace arti {

enum class SignatureResult {
    Valid,
    NoKey,          // the public key is missing or not a minisign key
    Malformed,      // the signature text is not a minisign signature
    OtherKey,       // made with another key than the site's
    Invalid,        // the signature does not match the file
    AlteredComment, // the trusted comment is not the one that was signed
};

// The BLAKE2b-512 hash that a prehashed signature signs, taken piece by piece while a
// file arrives.
class StreamHash {
public:
    StreamHash();
    void update(std::string_view piece);
    using Digest = std::array<unsigned char, 64>;
    Digest final();

private:
    alignas(64) unsigned char state_[384];
};

// `publicKey` and `signature` are the texts of the ".pub" and ".minisig" files. With
// `prehash` (the StreamHash of `data`) a prehashed signature needs no second pass. A valid
// signature hands its trusted comment to `trustedComment` (when given).
SignatureResult verifyMinisign(std::string_view data, std::string_view signature, std::string_view publicKey,
                               const StreamHash::Digest* prehash = nullptr,
                               std::string* trustedComment = nullptr);

// The file in the program folder that holds the update site's public key.
std::string updateKeyFile();

} // namespace arti
