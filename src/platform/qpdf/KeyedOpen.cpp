#include "platform/qpdf/KeyedOpen.h"

#include "platform/Secrets.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/InflationBudget.h"
#include "platform/qpdf/QuietQpdf.h"

#include <nettle/base16.h>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFSystemError.hh>
#include <stdexcept>

namespace pdfunlock {
namespace {

// Shorter entries are padded with zeros, as qpdf pads them.
std::string padded(QPDFObjectHandle entry, size_t least) {
    std::string value = entry.getStringValue();
    if (value.size() < least) {
        value.append(least - value.size(), '\0');
    }
    return value;
}

// The key length in bytes, as qpdf takes it: fixed for V 1, 4 and 5, else
// /Length when it is a whole number of bytes from 40 to 128 bits, else 128.
int keyBytes(QPDFObjectHandle dictionary, int v) {
    if (v <= 1) {
        return 5;
    }
    if (v >= 4) {
        return v == 4 ? 16 : 32;
    }
    auto length = dictionary.getKey("/Length");
    if (length.isInteger()) {
        const long long bits = length.getIntValue();
        if (bits % 8 == 0 && bits >= 40 && bits <= 128) {
            return static_cast<int>(bits / 8);
        }
    }
    return 16;
}

} // namespace

std::optional<StandardSecurity> standardSecurity(QPDF& pdf) {
    try {
        if (!pdf.isEncrypted()) {
            return std::nullopt;
        }
        auto trailer = pdf.getTrailer();
        auto dictionary = trailer.getKey("/Encrypt");
        if (!dictionary.isDictionary() ||
            !dictionary.getKey("/Filter").isNameAndEquals("/Standard") ||
            !dictionary.getKey("/V").isInteger() || !dictionary.getKey("/R").isInteger() ||
            !dictionary.getKey("/O").isString() || !dictionary.getKey("/U").isString() ||
            !dictionary.getKey("/P").isInteger()) {
            return std::nullopt;
        }
        StandardSecurity s;
        s.V = dictionary.getKey("/V").getIntValueAsInt();
        s.R = dictionary.getKey("/R").getIntValueAsInt();
        if (s.R < 2 || s.R > 6 || !(s.V == 1 || s.V == 2 || s.V == 4 || s.V == 5)) {
            return std::nullopt;
        }
        s.P = static_cast<int>(dictionary.getKey("/P").getIntValue());
        s.keyBytes = keyBytes(dictionary, s.V);
        if (s.V < 5) {
            s.O = padded(dictionary.getKey("/O"), 32);
            s.U = padded(dictionary.getKey("/U"), 32);
            if (s.O.size() != 32 || s.U.size() != 32) {
                return std::nullopt;
            }
        } else {
            if (!dictionary.getKey("/OE").isString() || !dictionary.getKey("/UE").isString() ||
                !dictionary.getKey("/Perms").isString()) {
                return std::nullopt;
            }
            s.O = padded(dictionary.getKey("/O"), 48);
            s.U = padded(dictionary.getKey("/U"), 48);
            s.OE = padded(dictionary.getKey("/OE"), 32);
            s.UE = padded(dictionary.getKey("/UE"), 32);
            s.Perms = padded(dictionary.getKey("/Perms"), 16);
        }
        auto id = trailer.getKey("/ID");
        if (id.isArray() && id.getArrayNItems() == 2 && id.getArrayItem(0).isString()) {
            s.id1 = id.getArrayItem(0).getStringValue();
        }
        auto encryptMetadata = dictionary.getKey("/EncryptMetadata");
        s.encryptMetadata = s.V < 4 || !encryptMetadata.isBool() || encryptMetadata.getBoolValue();
        return s;
    } catch (const std::exception&) {
        return std::nullopt; // a dictionary qpdf cannot read is one it does not decrypt
    }
}

InflationBudget parseChecked(QPDF& pdf, const std::shared_ptr<const OpenFile>& file,
                             const char* password) {
    auto source = std::make_shared<BlockInputSource>(file);
    auto budget = InflationBudget::beforeParse(source);
    pdf.processInputSource(source, password);
    return budget;
}

void noteOpenProblem(OpenProblem* problem) {
    if (!problem) {
        return;
    }
    try {
        throw;
    } catch (const QPDFSystemError& error) {
        *problem = {OpenProblem::Kind::System, error.getErrno()};
    } catch (const std::exception&) {
        *problem = {OpenProblem::Kind::NotPdf, 0}; // qpdf's damage, or memory refused
    }
}

std::shared_ptr<QPDF> openWithFileKey(const std::shared_ptr<const OpenFile>& file,
                                      const FileKey& key, InflationBudget* budget) {
    // Written into a buffer of ours, so that this copy at least is wiped.
    std::string hex(BASE16_ENCODE_LENGTH(key.bytes.size()), '\0');
    base16_encode_update(hex.data(), key.bytes.size(),
                         reinterpret_cast<const uint8_t*>(key.bytes.data()));
    auto pdf = quietQpdf();
    pdf->setPasswordIsHexKey(true);
    try {
        auto source = std::make_shared<BlockInputSource>(file);
        auto checked = InflationBudget::beforeParse(source);
        if (budget) {
            *budget = checked;
        }
        pdf->processInputSource(source, hex.c_str());
    } catch (...) {
        wipe(hex);
        throw;
    }
    wipe(hex);
    if (!key.permsValid) {
        pdf->warn(qpdf_e_damaged_pdf, "encryption dictionary", 0, "/Perms does not match the key");
    }
    return pdf;
}

FileKey keyOf(QPDF& pdf) {
    FileKey key;
    key.bytes = pdf.getEncryptionKey();
    return key;
}

bool allows(QPDF& pdf, const FileKey& key, bool (QPDF::*permission)()) {
    try {
        return key.owner || (pdf.*permission)();
    } catch (const std::exception&) {
        return false; // an encryption dictionary that cannot be read grants nothing
    }
}

std::optional<std::string> firstIdentifier(QPDF& pdf) {
    try {
        auto id = pdf.getTrailer().getKey("/ID");
        if (id.isArray() && id.getArrayNItems() >= 1 && id.getArrayItem(0).isString()) {
            return id.getArrayItem(0).getStringValue();
        }
    } catch (const std::exception&) {
        // A trailer that cannot be read names no document.
    }
    return std::nullopt;
}

} // namespace pdfunlock
