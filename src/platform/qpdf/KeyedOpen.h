// A document opened with a file key derived beforehand (platform/FileKey.h):
// qpdf then derives nothing and checks no password, and so no longer knows
// which password matched; the permission answers come from the derivation.
#pragma once

#include "platform/FileKey.h"
#include "platform/PDFDocument.h"
#include "platform/qpdf/InflationBudget.h"

#include <memory>
#include <optional>
#include <qpdf/QPDF.hh>

namespace pdfunlock {

class OpenFile;

// The standard security handler's values of a parsed document, also of one
// that refused the password it was opened with, made whole as qpdf makes
// them before it derives its key; nullopt for a document without encryption
// or one qpdf does not decrypt (another handler, /V or /R unknown, /O or /U
// of a wrong length).
std::optional<StandardSecurity> standardSecurity(QPDF& pdf);

// Parses `file` into `pdf` with `password`, its cross-reference streams
// checked against the budget first: qpdf would inflate them whole, before any
// password is checked. Throws as qpdf does.
InflationBudget parseChecked(QPDF& pdf, const std::shared_ptr<const OpenFile>& file,
                             const char* password);

// Inside a catch block: why the open that threw failed, for whoever asked
// (`problem` may be null).
void noteOpenProblem(OpenProblem* problem);

// A quiet QPDF over `file`, recovering damage, opened with `key`, its
// cross-reference streams checked against the budget first (see
// InflationBudget; the check into `budget`). Throws as qpdf does. It warns, as
// qpdf would have, when /Perms did not match the key.
std::shared_ptr<QPDF> openWithFileKey(const std::shared_ptr<const OpenFile>& file,
                                      const FileKey& key, InflationBudget* budget = nullptr);

// The file key `pdf` was opened with (empty when it is not encrypted), to
// open the file again with it; wiped when it goes.
FileKey keyOf(QPDF& pdf);

// One of QPDF's permission queries on a document opened with `key`: readers
// grant everything to whoever gave the owner password. False when the
// document cannot answer.
bool allows(QPDF& pdf, const FileKey& key, bool (QPDF::*permission)());

// The first /ID element of a parsed document, also of one that refused its
// password: qpdf reads the trailer before it asks for one.
std::optional<std::string> firstIdentifier(QPDF& pdf);

} // namespace pdfunlock
