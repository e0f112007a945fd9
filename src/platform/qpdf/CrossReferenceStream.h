// The end of a copy written outside qpdf's writer: its cross-reference
// stream, which is also its trailer.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pdfunlock {

struct CrossReferenceStream {
    // By number: where each object outside object streams starts (0: not
    // written) and its generation.
    std::vector<std::pair<unsigned long long, int>> offsets;
    // By number: for each object in an object stream, the stream (0: none)
    // and the index.
    std::vector<std::pair<int, int>> compressed;
    int number = 0; // of the stream itself, the highest of the file
    int root = 0;
    int info = 0; // 0: none
    std::string firstIdentifier;
    std::string secondIdentifier;

    // "n 0 obj ... endobj", "startxref" and "%%EOF" of a stream that starts at
    // `offset`.
    std::string written(unsigned long long offset) const;
};

} // namespace pdfunlock
