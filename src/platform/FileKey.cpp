#include "platform/FileKey.h"

#include "platform/Secrets.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <nettle/aes.h>
#include <nettle/arcfour.h>
#include <nettle/cbc.h>
#include <nettle/md5.h>
#include <nettle/sha2.h>

namespace pdfunlock {
namespace {

std::atomic<unsigned long long> derivations{0};

using Byte = unsigned char;
constexpr size_t kPaddedBytes = 32;
constexpr Byte kPadding[kPaddedBytes] = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};
// The bits of /P that qpdf's seven permission queries read, for any revision.
constexpr int kQueriedPermissions =
    (1 << 2) | (1 << 3) | (1 << 4) | (1 << 5) | (1 << 8) | (1 << 9) | (1 << 10);

// Key material on the stack, zeroed when it goes.
template <size_t N> struct Secret {
    std::array<Byte, N> bytes{};
    Secret() = default;
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;
    ~Secret() { wipe(reinterpret_cast<char*>(bytes.data()), N); }
    Byte* data() { return bytes.data(); }
    const Byte* data() const { return bytes.data(); }
};

template <class Context> struct Wiped {
    Context context{};
    Wiped() = default;
    Wiped(const Wiped&) = delete;
    Wiped& operator=(const Wiped&) = delete;
    ~Wiped() { wipe(reinterpret_cast<char*>(&context), sizeof context); }
    Context* get() { return &context; }
};

struct WipedText {
    std::string text;
    WipedText() = default;
    WipedText(const WipedText&) = delete;
    WipedText& operator=(const WipedText&) = delete;
    ~WipedText() { wipe(text); }
};

const Byte* bytesOf(const std::string& text) {
    return reinterpret_cast<const Byte*>(text.data());
}

bool equal(const Byte* a, const std::string& b, size_t count) {
    return b.size() >= count && std::memcmp(a, b.data(), count) == 0;
}

// ---- V 1 to 4: MD5 and RC4 ----

// The password cut or padded to 32 bytes.
void padded(const std::string& password, Secret<kPaddedBytes>& out) {
    const size_t taken = std::min(password.size(), kPaddedBytes);
    std::memcpy(out.data(), password.data(), taken);
    std::memcpy(out.data() + taken, kPadding, kPaddedBytes - taken);
}

size_t rc4KeyBytes(const StandardSecurity& s) {
    return static_cast<size_t>(std::clamp(s.keyBytes, 1, 16));
}

// From revision 3 on, the digest's first `keyBytes` bytes are hashed 50 more times.
void rehash(Secret<MD5_DIGEST_SIZE>& digest, const StandardSecurity& s) {
    if (s.R < 3) {
        return;
    }
    for (int i = 0; i < 50; ++i) {
        Wiped<md5_ctx> md5;
        md5_init(md5.get());
        md5_update(md5.get(), rc4KeyBytes(s), digest.data());
        md5_digest(md5.get(), MD5_DIGEST_SIZE, digest.data());
    }
}

// RC4 over `data` once (revision 2) or 20 times with the key's bytes xored with
// the round (forwards to encrypt, backwards to decrypt).
void rc4Rounds(const StandardSecurity& s, const Byte* key, Byte* data, size_t size,
               bool backwards) {
    const int rounds = s.R >= 3 ? 20 : 1;
    const size_t keyBytes = rc4KeyBytes(s);
    for (int i = 0; i < rounds; ++i) {
        const auto round = static_cast<Byte>(backwards ? rounds - 1 - i : i);
        Secret<16> roundKey;
        for (size_t j = 0; j < keyBytes; ++j) {
            roundKey.data()[j] = key[j] ^ round;
        }
        Wiped<arcfour_ctx> rc4;
        arcfour_set_key(rc4.get(), keyBytes, roundKey.data());
        arcfour_crypt(rc4.get(), size, data, data);
    }
}

// The file key from the padded user password.
void keyFromUserPassword(const StandardSecurity& s, const Secret<kPaddedBytes>& user,
                         Secret<MD5_DIGEST_SIZE>& key) {
    Wiped<md5_ctx> md5;
    md5_init(md5.get());
    md5_update(md5.get(), kPaddedBytes, user.data());
    md5_update(md5.get(), kPaddedBytes, bytesOf(s.O));
    const auto p = static_cast<unsigned>(s.P);
    const Byte permissions[4] = {Byte(p), Byte(p >> 8), Byte(p >> 16), Byte(p >> 24)};
    md5_update(md5.get(), sizeof permissions, permissions);
    md5_update(md5.get(), s.id1.size(), bytesOf(s.id1));
    if (s.R >= 4 && !s.encryptMetadata) {
        const Byte unencryptedMetadata[4] = {0xFF, 0xFF, 0xFF, 0xFF};
        md5_update(md5.get(), sizeof unencryptedMetadata, unencryptedMetadata);
    }
    md5_digest(md5.get(), MD5_DIGEST_SIZE, key.data());
    rehash(key, s);
}

// Whether the padded password is the user password: its key encrypts the
// padding (revision 2), or the digest of padding and /ID (later), to /U.
bool isUserPassword(const StandardSecurity& s, const Secret<kPaddedBytes>& user,
                    Secret<MD5_DIGEST_SIZE>& key) {
    keyFromUserPassword(s, user, key);
    if (s.R < 3) {
        Secret<kPaddedBytes> check;
        std::memcpy(check.data(), kPadding, kPaddedBytes);
        rc4Rounds(s, key.data(), check.data(), kPaddedBytes, false);
        return equal(check.data(), s.U, kPaddedBytes);
    }
    Secret<MD5_DIGEST_SIZE> check;
    Wiped<md5_ctx> md5;
    md5_init(md5.get());
    md5_update(md5.get(), kPaddedBytes, kPadding);
    md5_update(md5.get(), s.id1.size(), bytesOf(s.id1));
    md5_digest(md5.get(), MD5_DIGEST_SIZE, check.data());
    rc4Rounds(s, key.data(), check.data(), MD5_DIGEST_SIZE, false);
    return equal(check.data(), s.U, MD5_DIGEST_SIZE);
}

// Whether the password is the owner password: its digest decrypts /O to the
// padded user password, which is then checked and gives the key.
bool isOwnerPassword(const StandardSecurity& s, const std::string& form,
                     Secret<MD5_DIGEST_SIZE>& key) {
    Secret<kPaddedBytes> owner;
    padded(form, owner);
    Secret<MD5_DIGEST_SIZE> ownerKey;
    Wiped<md5_ctx> md5;
    md5_init(md5.get());
    md5_update(md5.get(), kPaddedBytes, owner.data());
    md5_digest(md5.get(), MD5_DIGEST_SIZE, ownerKey.data());
    rehash(ownerKey, s);
    Secret<kPaddedBytes> user;
    std::memcpy(user.data(), s.O.data(), kPaddedBytes);
    rc4Rounds(s, ownerKey.data(), user.data(), kPaddedBytes, true);
    return isUserPassword(s, user, key);
}

bool ownerCheckNeeded(const StandardSecurity& s, bool user, bool userOnly) {
    return user ? (s.P & kQueriedPermissions) != kQueriedPermissions : !userOnly;
}

std::optional<FileKey> deriveRc4OrAes128(const StandardSecurity& s, const std::string& form,
                                         bool userOnly) {
    Secret<kPaddedBytes> typed;
    padded(form, typed);
    Secret<MD5_DIGEST_SIZE> key;
    Secret<MD5_DIGEST_SIZE> ownerKey;
    FileKey result;
    result.user = isUserPassword(s, typed, key);
    if (ownerCheckNeeded(s, result.user, userOnly)) {
        result.owner = isOwnerPassword(s, form, ownerKey);
    }
    if (!result.user && !result.owner) {
        return std::nullopt;
    }
    const Byte* bytes = result.user ? key.data() : ownerKey.data();
    result.bytes.assign(reinterpret_cast<const char*>(bytes), rc4KeyBytes(s));
    return result;
}

// ---- V 5: SHA-2 and AES ----

constexpr size_t kSaltBytes = 8;
constexpr size_t kHashBytes = 32;
constexpr size_t kUserBytes = 48; // /U: hash, validation salt, key salt
constexpr size_t kLongestPassword = 127;

// The hash of a password with a salt and, for the owner, /U: SHA-256
// (revision 5), then, from revision 6 on, at least 64 rounds of AES-128 over
// 64 copies of password, hash and /U, each hashed again with SHA-256, -384 or
// -512 as the encrypted bytes choose.
void hashV5(const StandardSecurity& s, const std::string& password, const Byte* salt,
            const Byte* userData, size_t userBytes, Secret<kHashBytes>& out) {
    Secret<SHA512_DIGEST_SIZE> k;
    size_t kBytes = SHA256_DIGEST_SIZE;
    {
        Wiped<sha256_ctx> sha;
        sha256_init(sha.get());
        sha256_update(sha.get(), password.size(), bytesOf(password));
        sha256_update(sha.get(), kSaltBytes, salt);
        sha256_update(sha.get(), userBytes, userData);
        sha256_digest(sha.get(), SHA256_DIGEST_SIZE, k.data());
    }
    if (s.R >= 6) {
        // Reserved once: a buffer given back on growing would not be wiped.
        WipedText buffer;
        std::string& rounds = buffer.text;
        rounds.reserve(64 * (password.size() + SHA512_DIGEST_SIZE + userBytes));
        for (int round = 1;; ++round) {
            const size_t once = password.size() + kBytes + userBytes;
            rounds.resize(64 * once);
            Byte* data = reinterpret_cast<Byte*>(rounds.data());
            std::memcpy(data, password.data(), password.size());
            std::memcpy(data + password.size(), k.data(), kBytes);
            std::memcpy(data + password.size() + kBytes, userData, userBytes);
            for (size_t copy = 1; copy < 64; ++copy) {
                std::memcpy(data + copy * once, data, once);
            }
            {
                Wiped<aes128_ctx> aes;
                Secret<AES_BLOCK_SIZE> iv;
                aes128_set_encrypt_key(aes.get(), k.data());
                std::memcpy(iv.data(), k.data() + AES128_KEY_SIZE, AES_BLOCK_SIZE);
                cbc_aes128_encrypt(aes.get(), iv.data(), rounds.size(), data, data);
            }
            // The first 16 bytes as a number modulo 3: 256 is 1 modulo 3.
            unsigned sum = 0;
            for (size_t i = 0; i < 16; ++i) {
                sum += data[i];
            }
            if (sum % 3 == 0) {
                Wiped<sha256_ctx> sha;
                kBytes = SHA256_DIGEST_SIZE;
                sha256_init(sha.get());
                sha256_update(sha.get(), rounds.size(), data);
                sha256_digest(sha.get(), kBytes, k.data());
            } else {
                Wiped<sha512_ctx> sha; // SHA-384's too
                kBytes = sum % 3 == 1 ? SHA384_DIGEST_SIZE : SHA512_DIGEST_SIZE;
                (kBytes == SHA384_DIGEST_SIZE ? sha384_init : sha512_init)(sha.get());
                sha512_update(sha.get(), rounds.size(), data);
                (kBytes == SHA384_DIGEST_SIZE ? sha384_digest : sha512_digest)(sha.get(), kBytes,
                                                                               k.data());
            }
            const int last = data[rounds.size() - 1];
            if (round >= 64 && last <= round - 32) {
                break;
            }
        }
    }
    std::memcpy(out.data(), k.data(), kHashBytes);
}

// The hash of the password with the validation salt (bytes 32 to 39 of /U
// or /O) against the first 32 bytes; the owner's is salted with /U too.
bool matchesV5(const StandardSecurity& s, const std::string& password, const std::string& entry,
               bool owner) {
    Secret<kHashBytes> hash;
    hashV5(s, password, bytesOf(entry) + kHashBytes, bytesOf(s.U), owner ? kUserBytes : 0, hash);
    return equal(hash.data(), entry, kHashBytes);
}

// The key /UE or /OE holds, encrypted with the hash of the password and the
// key salt (bytes 40 to 47 of /U or /O).
void keyV5(const StandardSecurity& s, const std::string& password, bool owner, FileKey& result) {
    const std::string& entry = owner ? s.O : s.U;
    Secret<kHashBytes> intermediate;
    hashV5(s, password, bytesOf(entry) + kHashBytes + kSaltBytes, bytesOf(s.U),
           owner ? kUserBytes : 0, intermediate);
    Secret<kHashBytes> key;
    {
        Wiped<aes256_ctx> aes;
        Secret<AES_BLOCK_SIZE> iv;
        aes256_set_decrypt_key(aes.get(), intermediate.data());
        cbc_decrypt(aes.get(), reinterpret_cast<nettle_cipher_func*>(aes256_decrypt),
                    AES_BLOCK_SIZE, iv.data(), kHashBytes, key.data(),
                    bytesOf(owner ? s.OE : s.UE));
    }
    result.bytes.assign(reinterpret_cast<const char*>(key.data()), kHashBytes);

    // /Perms: /P as 8 bytes (the high ones set), T or F for /EncryptMetadata, "adb".
    Secret<AES_BLOCK_SIZE> perms;
    {
        Wiped<aes256_ctx> aes;
        aes256_set_decrypt_key(aes.get(), key.data());
        aes256_decrypt(aes.get(), AES_BLOCK_SIZE, perms.data(), bytesOf(s.Perms));
    }
    unsigned long long expected = 0xFFFFFFFF00000000ULL | static_cast<unsigned>(s.P);
    bool valid = true;
    for (size_t i = 0; i < 8; ++i, expected >>= 8) {
        valid = valid && perms.data()[i] == Byte(expected & 0xFF);
    }
    result.permsValid = valid && perms.data()[8] == (s.encryptMetadata ? 'T' : 'F') &&
                        std::memcmp(perms.data() + 9, "adb", 3) == 0;
}

std::optional<FileKey> deriveAes256(const StandardSecurity& s, const std::string& form,
                                    bool userOnly) {
    WipedText truncated;
    truncated.text.assign(form, 0, std::min(form.size(), kLongestPassword));
    const std::string& password = truncated.text;
    FileKey result;
    if (userOnly) {
        // Whether the document opens without a password: mostly not, and
        // the validation hash alone says so.
        result.user = matchesV5(s, password, s.U, false);
        if (result.user) {
            keyV5(s, password, false, result);
        }
    } else {
        // The key as the user's first: when /Perms decrypts with it to what
        // /P and /EncryptMetadata say (96 bits a wrong key matches once in
        // 2^96), the password is the user's and the validation hash would
        // only say so again. Else (a damaged /Perms, another password) the
        // hashes decide as readers check.
        keyV5(s, password, false, result);
        result.user = result.permsValid || matchesV5(s, password, s.U, false);
    }
    if (ownerCheckNeeded(s, result.user, userOnly)) {
        result.owner = matchesV5(s, password, s.O, true);
    }
    if (!result.user && result.owner) {
        keyV5(s, password, true, result);
    }
    if (!result.user && !result.owner) {
        return std::nullopt;
    }
    return result;
}

bool wellFormed(const StandardSecurity& s) {
    if (s.V >= 5) {
        return s.O.size() >= kUserBytes && s.U.size() >= kUserBytes && s.OE.size() >= kHashBytes &&
               s.UE.size() >= kHashBytes && s.Perms.size() >= AES_BLOCK_SIZE;
    }
    return s.O.size() == kPaddedBytes && s.U.size() == kPaddedBytes;
}

} // namespace

FileKey::~FileKey() {
    wipe(bytes);
}

std::optional<FileKey> deriveFileKey(const StandardSecurity& security, const std::string& form,
                                     bool userOnly) {
    derivations.fetch_add(1, std::memory_order_relaxed);
    if (!wellFormed(security)) {
        return std::nullopt;
    }
    return security.V >= 5 ? deriveAes256(security, form, userOnly)
                           : deriveRc4OrAes128(security, form, userOnly);
}

bool isEmptyPassword(const StandardSecurity& security, const std::string& form) {
    if (form.empty() || security.V >= 5) {
        return form.empty();
    }
    // The empty password pads to the padding itself.
    return form.size() >= kPaddedBytes && std::memcmp(form.data(), kPadding, kPaddedBytes) == 0;
}

unsigned long long fileKeyDerivations() {
    return derivations.load(std::memory_order_relaxed);
}

} // namespace pdfunlock
