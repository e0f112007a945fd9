#include "platform/qpdf/WritePaths.h"

#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/CopyCheck.h"
#include "platform/qpdf/DocumentWriter.h"
#include "platform/qpdf/KeyedOpen.h"
#include "platform/qpdf/ObjectStreamPassthrough.h"
#include "platform/qpdf/StoredObjects.h"
#include "platform/qpdf/StreamDecryption.h"
#include "platform/qpdf/StreamPrefetch.h"
#include "platform/qpdf/WholeDocumentWriter.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace pdfunlock {

namespace {

using Produce = std::function<void(Pipeline&)>;
using Pages = std::function<std::vector<QPDFObjectHandle>()>;
using Sources = std::vector<const OpenFile*>;

bool anyShortened(const Sources& sources) {
    return std::any_of(sources.begin(), sources.end(),
                       [](const OpenFile* file) { return file && file->shortened(); });
}

// One way of writing: the copy `produce` gives, checked against `pages` of
// the document it was written from. qpdf takes a read that found a source
// cut short for damage and writes what it has: such a copy is not kept.
Written attempt(const SaveTarget& path, unsigned permissions, const Produce& produce,
                const std::optional<CopyIdentifier>& identifier, const Pages& pages,
                const Carried* carried, const Sources& sources,
                std::shared_ptr<CheckedCopy>& kept) {
    std::shared_ptr<CheckedCopy> checked;
    const Produce whole = [&](Pipeline& out) {
        produce(out);
        if (anyShortened(sources)) {
            throw std::runtime_error("not kept: a source became shorter while it was read");
        }
    };
    const auto outcome = writeNewFile(path, permissions, whole, identifier,
                                      [&](std::shared_ptr<const OpenFile> written) {
                                          checked = checkedCopy(written, pages(), carried);
                                          return checked != nullptr;
                                      });
    kept = outcome == Written::Kept ? checked : nullptr;
    return outcome;
}

// The file `source` reads, opened once more with its key: what a reader
// that has read nothing yet finds there. Null when it is another file now.
std::shared_ptr<QPDF> openedAfresh(QPDF& source, const std::shared_ptr<const OpenFile>& file) {
    const FileKey key = keyOf(source);
    auto fresh = openWithFileKey(file, key);
    return fresh->getTrailer().unparse() == source.getTrailer().unparse() ? fresh : nullptr;
}

// Reads everything the copy of `pdf` holds, from its new catalog down, before
// anything else is read: a table rebuilt later cannot change it. The pages
// first, as the source's were read, with the repairs qpdf makes to them.
void readWhatTheCopyHolds(QPDF& pdf) {
    pdf.getAllPages();
    std::set<QPDFObjGen> seen;
    eachReached(wholeCatalog(pdf.getRoot()), [&seen](QPDFObjectHandle object) {
        object.getTypeCode();
        return seen.insert(object.getObjGen()).second ? Visit::Follow : Visit::Skip;
    });
}

// Where a source's single /ID element that names the copy comes from.
std::optional<CopyIdentifier>
identifierOf(QPDF& source, const std::shared_ptr<const OpenFile>& file, size_t pages) {
    try {
        return copyIdentifier(source, file.get(), pages);
    } catch (const std::exception&) {
        return std::nullopt; // the writer derives one from the content then
    }
}

} // namespace

std::shared_ptr<CheckedCopy> writeWholeCopy(const SaveTarget& path, unsigned permissions,
                                            const std::shared_ptr<QPDF>& source,
                                            const std::shared_ptr<const OpenFile>& file,
                                            QPDFObjectHandle info, const PDFVersion& version,
                                            const WriteSettings& settings) {
    QPDF& pdf = *source;
    std::shared_ptr<CheckedCopy> kept;
    const auto identifier = identifierOf(pdf, file, pdf.getAllPages().size());
    const Pages sourcePages = [&pdf] { return pdf.getAllPages(); };
    // A copy the check refused, or qpdf's warning on reading ahead, leaves
    // the fresh open as the only way; a copy kept, or one the disk refused,
    // ends the write.
    bool afresh = pdf.numWarnings() > 0;
    const Sources sources{file.get()};
    const auto ended = [&](Written outcome) {
        afresh = afresh || outcome == Written::Rejected || pdf.numWarnings() > 0;
        return outcome != Written::Rejected || anyShortened(sources);
    };
    try {
        bool repaired = false;
        auto prefetch =
            afresh ? nullptr : StreamPrefetch::open(pdf, file, settings.parallelFrom, repaired);
        afresh = afresh || repaired;
        if (prefetch) {
            auto& twin = prefetch->twin();
            const auto outcome = attempt(
                path, permissions,
                [&](Pipeline& out) {
                    writeWhole(twin, info, out, version,
                               [&](const auto& copied) { prefetch->start(copied); });
                    if (!prefetch->finish()) {
                        throw std::runtime_error("not kept: a repair during the write");
                    }
                },
                identifier, [&twin] { return twin.getAllPages(); }, nullptr, sources, kept);
            if (ended(outcome)) {
                return kept;
            }
        }
        auto passthrough = !afresh && settings.passObjectStreams && identifier
                               ? ObjectStreamPassthrough::plan(pdf, info, version)
                               : nullptr;
        afresh = afresh || pdf.numWarnings() > 0;
        if (passthrough && !afresh) {
            const Carried carried{pdf, passthrough->references()};
            const auto outcome = attempt(
                path, permissions,
                [&](Pipeline& out) {
                    if (!passthrough->write(out, identifier->second)) {
                        throw std::runtime_error("not kept: the source read otherwise");
                    }
                },
                std::nullopt, sourcePages, &carried, sources, kept);
            if (ended(outcome)) {
                return kept;
            }
        }
        if (!afresh) {
            // The streams the writer copies as read are decrypted in bulk.
            const auto decryption = StreamDecryption::of(pdf, file);
            const auto outcome = attempt(
                path, permissions,
                [&](Pipeline& out) {
                    writeWhole(pdf, info, out, version, [&](const auto& copied) {
                        if (decryption) {
                            decryption->replace(copied);
                        }
                    });
                    if (pdf.numWarnings() > 0) {
                        throw std::runtime_error("not kept: reading ahead repaired the source");
                    }
                },
                identifier, sourcePages, nullptr, sources, kept);
            if (ended(outcome)) {
                return kept;
            }
        }
        // qpdf's writer alone, on a source that has read nothing the copy
        // does not hold.
        auto fresh = file ? openedAfresh(pdf, file) : nullptr;
        if (!fresh) {
            return nullptr;
        }
        readWhatTheCopyHolds(*fresh);
        const auto outcome = attempt(
            path, permissions,
            [&](Pipeline& out) { writeWhole(*fresh, info, out, version, {}, false); }, identifier,
            [&fresh] { return fresh->getAllPages(); }, nullptr, sources, kept);
        return outcome == Written::Kept ? kept : nullptr;
    } catch (const std::exception&) {
        return nullptr; // the source cannot be read again: no copy
    }
}

std::shared_ptr<CheckedCopy> writeAssembledCopy(const SaveTarget& path, unsigned permissions,
                                                QPDF& copy, const std::vector<PageRef>& pages,
                                                const PDFVersion& version) {
    std::optional<CopyIdentifier> identifier;
    try {
        // A copy of one document keeps that document's permanent identifier
        // (the first /ID element).
        const bool oneSource =
            !pages.empty() && std::all_of(pages.begin(), pages.end(), [&](const PageRef& page) {
                return page.owner == pages.front().owner && page.owner.get() != &copy;
            });
        identifier = oneSource
                         ? identifierOf(*pages.front().owner, pages.front().file, pages.size())
                         : std::nullopt;
        if (identifier) {
            const auto first = QPDFObjectHandle::newString(identifier->first);
            copy.getTrailer().replaceKey("/ID", QPDFObjectHandle::newArray({first, first}));
        }
    } catch (const std::exception&) {
        identifier.reset(); // written with an identifier of its own
    }
    const Pages original = [&pages] {
        std::vector<QPDFObjectHandle> handles;
        for (const auto& page : pages) {
            handles.push_back(page.page);
        }
        return handles;
    };
    Sources sources;
    for (const auto& page : pages) {
        sources.push_back(page.file.get());
    }
    std::shared_ptr<CheckedCopy> kept;
    for (const bool eachStreamOnce : {true, false}) {
        const auto outcome = attempt(
            path, permissions,
            [&](Pipeline& out) { writeUnencrypted(copy, out, version, {}, eachStreamOnce); },
            identifier, original, nullptr, sources, kept);
        if (outcome != Written::Rejected || anyShortened(sources)) {
            return outcome == Written::Kept ? kept : nullptr;
        }
    }
    return nullptr;
}

} // namespace pdfunlock
