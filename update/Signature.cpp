#include "update/Signature.h"

#include "core/AppState.h"

#include <sodium.h>

#include <array>
#include <cstring>
#include <vector>

namespace arti {

namespace {

constexpr std::size_t kKeyIdBytes = 8;

// The lines of a minisign file, without line ends.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The base64 line decoded, when it is exactly `size` bytes long.
bool decode(std::string_view line, unsigned char* out, std::size_t size) {
    std::size_t length = 0;
    return sodium_base642bin(out, size, line.data(), line.size(), nullptr, &length, nullptr,
                             sodium_base64_VARIANT_ORIGINAL) == 0 &&
           length == size;
}

} // namespace

static_assert(sizeof(crypto_generichash_state) <= 384 && alignof(crypto_generichash_state) <= 64);

StreamHash::StreamHash() {
    if (sodium_init() < 0) return;
    crypto_generichash_init(reinterpret_cast<crypto_generichash_state*>(state_), nullptr, 0, 64);
}

void StreamHash::update(std::string_view piece) {
    crypto_generichash_update(reinterpret_cast<crypto_generichash_state*>(state_),
                              reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
}

StreamHash::Digest StreamHash::final() {
    Digest d{};
    crypto_generichash_final(reinterpret_cast<crypto_generichash_state*>(state_), d.data(), d.size());
    return d;
}

std::string updateKeyFile() {
    return appState().programFolder + "update-key.pub";
}

SignatureResult verifyMinisign(std::string_view data, std::string_view signature, std::string_view publicKey,
                               const StreamHash::Digest* prehash, std::string* trustedComment) {
    if (sodium_init() < 0) return SignatureResult::NoKey;

    // Public key: "Ed", key id, 32 key bytes.
    const auto keyLines = linesOf(publicKey);
    std::array<unsigned char, 2 + kKeyIdBytes + crypto_sign_PUBLICKEYBYTES> key{};
    if (keyLines.size() < 2 || !decode(keyLines[1], key.data(), key.size()) || key[0] != 'E' || key[1] != 'd')
        return SignatureResult::NoKey;

    // Signature: untrusted comment, "Ed" or "ED" with key id and signature, the trusted
    // comment, and the signature of signature and trusted comment together.
    const auto lines = linesOf(signature);
    std::array<unsigned char, 2 + kKeyIdBytes + crypto_sign_BYTES> sig{};
    std::array<unsigned char, crypto_sign_BYTES> global{};
    constexpr std::string_view kTrusted = "trusted comment: ";
    if (lines.size() < 4 || !decode(lines[1], sig.data(), sig.size()) ||
        lines[2].substr(0, kTrusted.size()) != kTrusted || !decode(lines[3], global.data(), global.size()) ||
        sig[0] != 'E' || (sig[1] != 'd' && sig[1] != 'D'))
        return SignatureResult::Malformed;
    if (std::memcmp(sig.data() + 2, key.data() + 2, kKeyIdBytes) != 0) return SignatureResult::OtherKey;

    const unsigned char* pk = key.data() + 2 + kKeyIdBytes;
    const unsigned char* signatureBytes = sig.data() + 2 + kKeyIdBytes;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    int fileOk = -1;
    if (sig[1] == 'D') { // the BLAKE2b-512 hash of the file was signed
        StreamHash::Digest hash{};
        if (prehash) {
            hash = *prehash;
        } else {
            StreamHash h;
            h.update(data);
            hash = h.final();
        }
        fileOk = crypto_sign_verify_detached(signatureBytes, hash.data(), hash.size(), pk);
    } else {
        fileOk = crypto_sign_verify_detached(signatureBytes, bytes, data.size(), pk);
    }
    if (fileOk != 0) return SignatureResult::Invalid;

    const std::string_view comment = lines[2].substr(kTrusted.size());
    std::vector<unsigned char> signedComment(signatureBytes, signatureBytes + crypto_sign_BYTES);
    signedComment.insert(signedComment.end(), comment.begin(), comment.end());
    if (crypto_sign_verify_detached(global.data(), signedComment.data(), signedComment.size(), pk) != 0)
        return SignatureResult::AlteredComment;
    if (trustedComment) trustedComment->assign(comment);
    return SignatureResult::Valid;
}

} // namespace arti
