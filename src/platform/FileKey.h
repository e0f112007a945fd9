// The file key of a document under the standard security handler, derived
// from one form of a password as readers derive it: RC4 and AES-128 (V 1 to
// 4) through MD5 and RC4, AES-256 (V 5, R 5 and 6) through SHA-2 and AES, over
// Nettle. qpdf derives it too, but checks the owner password first on every
// open and runs the AES-256 hash through its pipeline classes; opened with
// this key, it derives nothing.
#pragma once

#include <optional>
#include <string>

namespace pdfunlock {

// What the encryption dictionary and the first element of the trailer's /ID
// say, made whole as qpdf makes them (see standardSecurity in
// qpdf/KeyedOpen.h).
struct StandardSecurity {
    int V = 0;
    int R = 0;
    int keyBytes = 16; // /Length in bytes, for V 1 to 4
    int P = 0;
    std::string O;     // 32 bytes, or for V 5 at least 48
    std::string U;     // likewise
    std::string OE;    // V 5: at least 32 bytes
    std::string UE;    // V 5: at least 32 bytes
    std::string Perms; // V 5: at least 16 bytes
    std::string id1;
    bool encryptMetadata = true;
};

// A file key and as which password its form matched; wiped when it goes.
struct FileKey {
    FileKey() = default;
    FileKey(const FileKey& other) = default;
    FileKey& operator=(const FileKey& other) = default;
    ~FileKey();

    std::string bytes;
    bool user = false;  // the form is the user password
    bool owner = false; // the form is the owner password, where it matters
    // AES-256: /Perms decrypts with the key to /P and /EncryptMetadata (qpdf
    // warns when it does not, and reads on).
    bool permsValid = true;
};

// The key `form` opens, checked first as the user password, then as the
// owner password; nullopt when it is neither. As the owner password it is
// also checked after it matched as the user password when /P withholds a
// permission, since readers grant everything to the owner; when /P withholds
// nothing that makes no difference and costs a second hash for AES-256.
// `userOnly` leaves out the owner check after a failed user check: whether a
// document opens without a password is a question about the user password.
// Every intermediate value is wiped.
std::optional<FileKey> deriveFileKey(const StandardSecurity& security, const std::string& form,
                                     bool userOnly = false);

// Whether `form` is, to the handler, the empty password: nothing, or for V 1
// to 4 what pads or truncates to the same 32 bytes (the padding itself).
bool isEmptyPassword(const StandardSecurity& security, const std::string& form);

// How many times deriveFileKey ran in this process: lets tests count the
// derivations a job makes.
unsigned long long fileKeyDerivations();

} // namespace pdfunlock
